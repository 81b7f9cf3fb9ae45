#include "app/shellrux_app.h"

#include "app/shellrux_dlg.h"

namespace rux {

bool CShellruxApp::InitInstance() {
  CShellruxDlg dlg;
  dlg.DoModal();
  return false;
}

}  // namespace rux
