// The engine jobs of the main window.
#include "app/shellrux_dlg.h"

namespace rux {

void CShellruxDlg::OnEncode() {}
void CShellruxDlg::OnDecode() {}

}  // namespace rux
