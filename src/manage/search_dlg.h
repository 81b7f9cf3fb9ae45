#pragma once
// "shell_rux SEARCH": asks for the text to look for in the Key Book.
#include <QString>

#include "platform/widgets/dialog.h"

class QLineEdit;

namespace rux {

class CSearchDlg : public Dialog {
  Q_OBJECT
 public:
  explicit CSearchDlg(QWidget* parent = nullptr);

  QString m_strSearchText;

 protected:
  void DoDataExchange(DataExchange& dx) override;

 private:
  QLineEdit* m_editSearchText = nullptr;
};

}  // namespace rux
