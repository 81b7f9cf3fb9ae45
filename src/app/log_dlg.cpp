#include "app/log_dlg.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/widgets/decoration.h"

namespace rux {

CLogDlg::CLogDlg(QWidget* parent) : Dialog(parent) {
  setObjectName("logWindow");
  setWindowTitle("shell_rux LOG");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(MakeBanner(this, "shell_rux LOG"));

  m_editText = new QPlainTextEdit(this);
  m_editText->setObjectName("logText");
  m_editText->setLineWrapMode(QPlainTextEdit::NoWrap);
  m_editText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  m_editText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  m_editText->setMinimumSize(640, 380);
  m_editText->installEventFilter(this);
  layout->addWidget(m_editText, 1);
  layout->addWidget(MakeBar(this));

  auto* buttons = new QHBoxLayout;
  auto* save = new QPushButton("SAVE", this);
  save->setObjectName("save");
  save->setDefault(true);
  connect(save, &QPushButton::clicked, this, &CLogDlg::accept);
  auto* quit = new QPushButton("Quit", this);
  quit->setObjectName("quit");
  quit->setAutoDefault(false);
  connect(quit, &QPushButton::clicked, this, &CLogDlg::reject);
  buttons->addWidget(save);
  buttons->addStretch(1);
  buttons->addWidget(quit);
  layout->addLayout(buttons);
}

CLogDlg::~CLogDlg() = default;

void CLogDlg::DoDataExchange(DataExchange& dx) { dx.Text(m_editText, m_strText); }

// Enter in the text area goes to the default button, "SAVE"; Ctrl+Enter
// starts a new line, as in a multi-line edit field that does not take Enter.
bool CLogDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_editText && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      if (key->modifiers() & Qt::ControlModifier)
        m_editText->insertPlainText("\n");
      else
        accept();
      return true;
    }
  }
  return Dialog::eventFilter(watched, event);
}

}  // namespace rux
