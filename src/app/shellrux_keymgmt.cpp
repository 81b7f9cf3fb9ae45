// "BOOK / KEY MANAGEMENT": the key management window opened from the main window.
#include "app/shellrux_dlg.h"

namespace rux {

void CShellruxDlg::OnKeyManagement() {}

}  // namespace rux
