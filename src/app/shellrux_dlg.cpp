#include "app/shellrux_dlg.h"

#include <unistd.h>
#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cerrno>
#include <climits>

#include "app/about_dlg.h"
#include "app/app_icon.h"
#include "app/shellrux_drops.h"
#include "platform/seams/prompts.h"
#include "platform/widgets/decoration.h"
#include "platform/widgets/long_list.h"

namespace rux {

namespace {

QLabel* Label(const QString& text, QWidget* parent) { return new QLabel(text, parent); }

QLineEdit* Field(const QString& name, QWidget* parent, bool enabled = true) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  HoldAnyLength(edit);
  edit->setEnabled(enabled);
  return edit;
}

}  // namespace

QString StartupEnginePath(QWidget* owner) {
  char buffer[PATH_MAX];
  if (!::getcwd(buffer, sizeof buffer)) {
    MessageBox(owner, "Current directory _getcwd error", "shell_rux", Buttons::Ok, Icon::None);
    return QString();
  }
  QString folder = QString::fromLocal8Bit(buffer);
  if (!folder.endsWith('/')) folder += '/';
  return folder + "rux4.exe";
}

CShellruxDlg::CShellruxDlg(QWidget* parent) : Dialog(parent) {
  setObjectName("shellrux");
  setWindowTitle("shell_rux  4.5");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  // Modal as it runs, yet blocking no other window: it has no owner, so the
  // console that "Run RUX4 (Console)" leaves open (a window of its own) can be
  // read and closed once its command has ended.
  setWindowModality(Qt::WindowModal);
  BuildControls();
  m_strEnginePath = StartupEnginePath(this);
  m_hIcon = AppIcon();
  AcceptFileDrops(*this);
}

CShellruxDlg::~CShellruxDlg() = default;

QPushButton* CShellruxDlg::AddButton(const QString& text, const char* name,
                                     void (CShellruxDlg::*handler)()) {
  auto* button = new QPushButton(text, this);
  button->setObjectName(name);
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
  return button;
}

void CShellruxDlg::BuildControls() {
  auto* outer = new QHBoxLayout(this);
  outer->setContentsMargins(0, 0, 8, 8);
  outer->addWidget(MakeSideStrip(this));
  auto* bands = new QVBoxLayout;
  outer->addLayout(bands);
  bands->addWidget(MakeBanner(this, "shell_rux  4.5"));

  // Engine band.
  auto* engine = new QHBoxLayout;
  engine->addWidget(Label("PATH RUX4.EXE:", this));
  m_editEnginePath = Field("enginePath", this);
  m_editEnginePath->setFocusPolicy(Qt::ClickFocus);  // not in the tab order
  engine->addWidget(m_editEnginePath, 1);
  engine->addWidget(AddButton("Browse", "engineBrowse", &CShellruxDlg::OnBrowseEngine));
  engine->addWidget(AddButton("Run RUX4 (Console)", "runConsole", &CShellruxDlg::OnRunConsole));
  bands->addLayout(engine);
  bands->addWidget(MakeBar(this));

  // Key Book band.
  auto* book = new QGridLayout;
  book->addWidget(Label("Key Book:", this), 0, 0);
  m_editKeyBook = Field("keyBook", this, false);
  book->addWidget(m_editKeyBook, 0, 1, 1, 3);
  book->addWidget(AddButton("Browse", "keyBookBrowse", &CShellruxDlg::OnBrowseKeyBook), 0, 4);
  book->addWidget(Label("Master Key:", this), 1, 0);
  m_comboMasterKey = new QComboBox(this);
  m_comboMasterKey->setObjectName("masterKeyCombo");
  m_comboMasterKey->setEditable(true);
  m_comboMasterKey->setInsertPolicy(QComboBox::NoInsert);
  m_comboMasterKey->setMaxVisibleItems(12);
  new LongList(m_comboMasterKey);  // a book of a million names lists at once
  HoldAnyLength(m_comboMasterKey->lineEdit());
  // Typing into the edit part starts nothing: no completion, and neither Enter
  // nor leaving the box selects the entry that matches the typed text. Enter
  // goes on to the window's default button.
  m_comboMasterKey->setCompleter(nullptr);
  disconnect(m_comboMasterKey->lineEdit(), &QLineEdit::editingFinished, m_comboMasterKey, nullptr);
  book->addWidget(m_comboMasterKey, 1, 1);
  book->addWidget(Label("Number:", this), 1, 2, Qt::AlignRight);
  m_editNumber = Field("keyNumber", this, false);
  m_editNumber->setMaximumWidth(90);
  book->addWidget(m_editNumber, 1, 3);
  m_editName = Field("masterKeyName", this, false);
  m_editName->hide();
  auto* management =
      AddButton("BOOK / KEY MANAGEMENT", "keyManagement", &CShellruxDlg::OnKeyManagement);
  management->setDefault(true);
  book->addWidget(management, 1, 4);
  book->setColumnStretch(1, 1);
  bands->addLayout(book);
  bands->addWidget(MakeBar(this));

  // Parameter grid: three columns; parameters 11 and 14 are disabled.
  static constexpr int kGrid[5][3] = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 12, 13}, {11, 14, 0}};
  auto* params = new QGridLayout;
  for (int row = 0; row < 5; ++row) {
    for (int col = 0; col < 3; ++col) {
      const int n = kGrid[row][col];
      if (n == 0) continue;
      m_editParam[n - 1] = Field(QString("param%1").arg(n), this, n != 11 && n != 14);
      m_editParam[n - 1]->setPlaceholderText(QString("Parameter %1").arg(n));
      m_editParam[n - 1]->setAccessibleName(QString("Parameter %1").arg(n));
      params->addWidget(m_editParam[n - 1], row, col);
    }
  }
  bands->addLayout(params);
  bands->addWidget(MakeBar(this));

  // File band.
  auto* files = new QGridLayout;
  files->addWidget(Label("File Key Verify:", this), 0, 0);
  m_editVerify = Field("verifyFile", this, false);
  files->addWidget(m_editVerify, 0, 1);
  auto* verifyButtons = new QHBoxLayout;
  verifyButtons->addWidget(AddButton("Browse", "verifyBrowse", &CShellruxDlg::OnBrowseVerify));
  verifyButtons->addWidget(AddButton("Clear", "verifyClear", &CShellruxDlg::OnClearVerify));
  files->addLayout(verifyButtons, 0, 2);
  files->addWidget(Label("Source File:", this), 1, 0);
  m_editSource = Field("sourceFile", this, false);
  files->addWidget(m_editSource, 1, 1);
  files->addWidget(AddButton("Browse", "sourceBrowse", &CShellruxDlg::OnBrowseSource), 1, 2);
  files->addWidget(Label("Target File:", this), 2, 0);
  m_editTarget = Field("targetFile", this, false);
  files->addWidget(m_editTarget, 2, 1);
  files->addWidget(AddButton("Browse", "targetBrowse", &CShellruxDlg::OnBrowseTarget), 2, 2);
  files->setColumnStretch(1, 1);
  bands->addLayout(files);
  bands->addWidget(MakeBar(this));

  // Actions.
  auto* actions = new QHBoxLayout;
  actions->addWidget(
      AddButton("ENCODE  ( Encode way   ------ >> )", "encode", &CShellruxDlg::OnEncode));
  actions->addWidget(
      AddButton("DECODE  ( Encode way  << ------ )", "decode", &CShellruxDlg::OnDecode));
  bands->addLayout(actions);
  bands->addWidget(MakeBar(this));

  // Log band.
  auto* logButtons = new QHBoxLayout;
  logButtons->addWidget(Label("LOG:", this));
  logButtons->addWidget(
      AddButton("Copy Keys to Log", "copyKeysToLog", &CShellruxDlg::OnCopyKeysToLog));
  logButtons->addWidget(AddButton("Clear Log", "clearLog", &CShellruxDlg::OnClearLog));
  logButtons->addWidget(AddButton("Edit Log", "editLog", &CShellruxDlg::OnEditLog));
  logButtons->addStretch(1);
  logButtons->addWidget(Label("CONFIGURATION:", this));
  logButtons->addWidget(AddButton("Browse", "configBrowse", &CShellruxDlg::LoadConfiguration));
  logButtons->addWidget(AddButton("Save", "configSave", &CShellruxDlg::SaveConfiguration));
  bands->addLayout(logButtons);
  m_editLog = new QPlainTextEdit(this);
  m_editLog->setObjectName("log");
  m_editLog->setAccessibleName("LOG");
  m_editLog->setLineWrapMode(QPlainTextEdit::NoWrap);
  m_editLog->setMinimumHeight(160);
  bands->addWidget(m_editLog);
  auto* quitRow = new QHBoxLayout;
  quitRow->addStretch(1);
  quitRow->addWidget(AddButton("Quit", "quit", &CShellruxDlg::OnCancel));
  bands->addLayout(quitRow);

  layout()->setSizeConstraint(QLayout::SetFixedSize);
  setMinimumWidth(760);

  // A change in a parameter field, the engine path field or the number field
  // reads all fields at once. The log panel raises nothing: what is typed
  // there reaches the log at the next read, and a step that changes the log
  // reads the panel first (ReadLogPanel).
  auto readAll = [this] { UpdateData(true); };
  for (QLineEdit* edit : m_editParam) OnNotify(edit, &QLineEdit::textChanged, readAll);
  OnNotify(m_editEnginePath, &QLineEdit::textChanged, readAll);
  OnNotify(m_editNumber, &QLineEdit::textChanged, readAll);
  connect(m_comboMasterKey, &QComboBox::activated, this, [this] {
    if (!InExchange()) OnSelectMasterKey();
  });

  // The window menu: "Acerca de shellrux" below a separator. The toolkit
  // cannot add to the window manager's own menu, so it is the window's
  // context menu (right click).
  setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* separator = new QAction(this);
  separator->setSeparator(true);
  addAction(separator);
  auto* about = new QAction("Acerca de shellrux", this);
  about->setObjectName("aboutAction");
  connect(about, &QAction::triggered, this, &CShellruxDlg::OnAbout);
  addAction(about);
}

void CShellruxDlg::DoDataExchange(DataExchange& dx) {
  dx.Text(m_editTarget, m_strTargetFile);
  dx.Text(m_editKeyBook, m_strKeyBook);
  dx.Text(m_editSource, m_strSourceFile);
  dx.Text(m_editVerify, m_strVerifyFile);
  dx.Text(m_editName, m_strMasterKeyName);
  dx.Number(m_editNumber, m_nKeyNumber);
  for (int i = 0; i < 14; ++i) dx.Text(m_editParam[i], m_strParam[i]);
  dx.Text(m_editLog, m_strLog);
  dx.Text(m_editEnginePath, m_strEnginePath);
  dx.ComboText(m_comboMasterKey, m_strMasterKeyCombo);
}

bool CShellruxDlg::OnInitDialog() {
  Dialog::OnInitDialog();
  // Setting the field is a change of the engine path field: all fields are read.
  m_editEnginePath->setText("rux4.exe");
  UpdateData(false);
  UpdateData(true);
  setWindowIcon(m_hIcon);
  m_editEnginePath->setText("rux4.exe");
  return true;
}

void CShellruxDlg::OnAbout() {
  CAboutDlg about(this);
  about.DoModal();
}

void CShellruxDlg::OnCancel() {
  const QString question =
      "ATTENTION! Exit without saving changes?... \nIf you press OK, configuration will not be "
      "saved.\n\n";
  // The user asked for a save: when it failed, the window stays open so that
  // the fields and the log are not lost. A cancelled picker still ends.
  if (!Confirm(this, question, "RUX EXIT") &&
      SaveConfigurationTellingOutcome() == SaveOutcome::Failed)
    return;
  OnAbout();
  EndDialog(IDCANCEL);
}

}  // namespace rux
