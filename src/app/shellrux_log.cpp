// The log panel of the main window.
#include "app/shellrux_dlg.h"

namespace rux {

void CShellruxDlg::AppendLog(const QString& text) {
  m_strLog += text;
  UpdateData(false);
}

void CShellruxDlg::OnCopyKeysToLog() {}
void CShellruxDlg::OnClearLog() {}
void CShellruxDlg::OnEditLog() {}

}  // namespace rux
