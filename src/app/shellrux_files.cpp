// The main window's simple buttons: the path pickers, "Clear" and "Run RUX4 (Console)".
#include <QLineEdit>
#include <QRegularExpression>

#include "app/shellrux_dlg.h"
#include "platform/seams/child_process.h"
#include "platform/seams/console.h"
#include "platform/seams/prompts.h"

namespace rux {

namespace {

// Asks for a file starting from "*.*"; on a choice stores its full path and refreshes.
void PickInto(CShellruxDlg& window, QString& member, bool save) {
  std::optional<QString> path =
      save ? PickSaveFile(&window, "*.*", true) : PickOpenFile(&window, "*.*");
  if (!path) return;
  member = *path;
  window.UpdateData(false);
}

}  // namespace

void CShellruxDlg::OnBrowseEngine() { PickInto(*this, m_strEnginePath, false); }
void CShellruxDlg::OnBrowseSource() { PickInto(*this, m_strSourceFile, false); }
void CShellruxDlg::OnBrowseTarget() { PickInto(*this, m_strTargetFile, true); }
void CShellruxDlg::OnBrowseVerify() { PickInto(*this, m_strVerifyFile, false); }

void CShellruxDlg::OnClearVerify() {
  m_editVerify->setText(QString());
  m_strVerifyFile.clear();
  UpdateData(true);
}

// A command line for the command interpreter, as typed. A bare program name
// is found as the jobs find the engine: beside the front end first, then in
// the current folder; the interpreter searches PATH itself.
QString ConsoleCommand(const QString& text) {
  const qsizetype blank = text.indexOf(' ');
  const QString program = blank < 0 ? text : text.left(blank);
  QString nearby = QString::fromStdString(FindProgramNearby(program.toStdString()));
  if (nearby.isEmpty()) return text;
  static const QRegularExpression plain("^[A-Za-z0-9/._+-]+$");
  if (!plain.match(nearby).hasMatch()) nearby = "'" + nearby.replace("'", "'\\''") + "'";
  return nearby + text.mid(program.size());
}

void CShellruxDlg::OnRunConsole() {
  m_strEngineCommand = m_strEnginePath;
  Console& console = CurrentConsole();
  console.Open();
  console.SetTitle(m_strEngineCommand);
  ChildProcess::Started started =
      ChildProcess::Start("/bin/sh", {"-c", ConsoleCommand(m_strEngineCommand).toStdString()});
  if (!started.process) {
    console.Release();
    return;
  }
  // Unlike a job's, this console stays open when the command has ended, so
  // its output can be read; the user closes it.
  console.Run(*started.process);
}

}  // namespace rux
