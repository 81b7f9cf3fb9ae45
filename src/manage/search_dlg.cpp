#include "manage/search_dlg.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "editing/record_form.h"

namespace rux {

CSearchDlg::CSearchDlg(QWidget* parent) : Dialog(parent) {
  setObjectName("search");
  setWindowTitle("shell_rux SEARCH");

  auto* outer = new QHBoxLayout(this);
  auto* group = new QGroupBox("Searh on Key Book", this);
  group->setObjectName("searchGroup");
  auto* inside = new QVBoxLayout(group);
  auto* label = new QLabel("Text to Search...", group);
  label->setObjectName("searchLabel");
  inside->addWidget(label);
  m_editSearchText = new QLineEdit(group);
  m_editSearchText->setObjectName("searchText");
  HoldAnyLength(m_editSearchText);
  inside->addWidget(m_editSearchText);
  outer->addWidget(group, 1);

  auto* buttons = new QVBoxLayout;
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("ok");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* cancel = new QPushButton("Cancel", this);
  cancel->setObjectName("cancel");
  cancel->setAutoDefault(false);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addStretch(1);
  outer->addLayout(buttons);

  setMinimumSize(DialogUnits(*this, 228, 86));
}

void CSearchDlg::DoDataExchange(DataExchange& dx) { dx.Text(m_editSearchText, m_strSearchText); }

}  // namespace rux
