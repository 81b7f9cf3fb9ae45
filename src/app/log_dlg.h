#pragma once
// "shell_rux LOG": the log in a larger window for editing. "SAVE" hands the
// edited text back (the caller stores it); "Quit" drops the edit. The text
// area does not take the Enter key: Enter presses "SAVE".
#include <QString>

#include "platform/widgets/dialog.h"

class QPlainTextEdit;

namespace rux {

class CLogDlg : public Dialog {
  Q_OBJECT
 public:
  explicit CLogDlg(QWidget* parent = nullptr);
  ~CLogDlg() override;

  QString m_strText;

 protected:
  void DoDataExchange(DataExchange& dx) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPlainTextEdit* m_editText = nullptr;
};

}  // namespace rux
