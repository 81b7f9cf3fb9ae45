// The log panel of the main window.
#include <QPlainTextEdit>

#include "app/log_dlg.h"
#include "app/shellrux_dlg.h"
#include "platform/seams/prompts.h"
#include "platform/text/timestamp.h"

namespace rux {

void CShellruxDlg::ReadLogPanel() {
  DataExchange read(true);
  read.Text(m_editLog, m_strLog);
}

void CShellruxDlg::AppendLog(const QString& text) {
  ReadLogPanel();
  m_strLog += text;
  UpdateData(false);
}

void CShellruxDlg::OnCopyKeysToLog() {
  UpdateData(true);
  ReadMasterKey();
  if (m_nKeyNumber != m_nLastKeyRead) return;
  QString entry = "\n FECHA: " + QString::fromStdString(TimeStamp(Now()));
  entry += "\nLibro Claves: " + m_strKeyBook;
  entry += "\nNumero de Clave: " + QString::number(m_nKeyNumber);
  for (std::size_t i = 0; i < m_strKey.size(); ++i) {
    entry += QString("\nClave%1: ").arg(i + 1) + m_strKey[i];
  }
  AppendLog(entry + "\n");
}

void CShellruxDlg::OnClearLog() {
  if (!Confirm(this, "ATTENTION! Are you sure you want to delete LOG?", "LOG DELETE")) return;
  ReadLogPanel();  // what was typed goes too
  m_strLog.clear();
  UpdateData(false);
}

void CShellruxDlg::OnEditLog() {
  m_editLog->setFocus();
  ReadLogPanel();
  CLogDlg logWindow(this);
  logWindow.m_strText = m_strLog;
  UpdateData(false);
  if (logWindow.DoModal() != IDOK) return;
  UpdateData(true);
  m_strLog = logWindow.m_strText;
  UpdateData(false);
}

}  // namespace rux
