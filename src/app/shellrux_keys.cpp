// Choosing the Key Book and the Master Key in the main window.
#include "app/shellrux_dlg.h"

namespace rux {

void CShellruxDlg::ReadMasterKey() {}
void CShellruxDlg::FillMasterKeyList(const QString&) {}
void CShellruxDlg::FindMasterKeyByName(const QString&) {}
void CShellruxDlg::OnBrowseKeyBook() {}
void CShellruxDlg::OnSelectMasterKey() {}

}  // namespace rux
