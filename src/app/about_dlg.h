#pragma once
#include <QDialog>

namespace rux {

// "shell_rux": one picture and an OK button.
class CAboutDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
  int DoModal();
};

}  // namespace rux
