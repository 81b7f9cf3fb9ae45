// Saving and loading the main window's fields in a configuration file.
#include "app/shellrux_dlg.h"

namespace rux {

void CShellruxDlg::SaveConfiguration() {}
void CShellruxDlg::LoadConfiguration() {}

}  // namespace rux
