#include "app/about_dlg.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/widgets/decoration.h"
#include "platform/widgets/modal.h"

namespace rux {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("about");
  setWindowTitle("shell_rux");
  auto* layout = new QVBoxLayout(this);
  QWidget* picture = MakeBanner(this, "shell_rux  4.5", 120);
  picture->setMinimumWidth(320);
  layout->addWidget(picture);
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("ok");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  layout->addWidget(ok, 0, Qt::AlignRight);
}

int CAboutDlg::DoModal() { return RunModal(*this); }

}  // namespace rux
