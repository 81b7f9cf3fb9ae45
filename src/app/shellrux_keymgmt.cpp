// "BOOK / KEY MANAGEMENT": the key management window opened from the main window.
#include "app/shellrux_dlg.h"
#include "manage/keys_dlg.h"

namespace rux {

void CShellruxDlg::OnKeyManagement() {
  CKeysDlg keys(this);
  keys.m_strMasterKeyName = m_strMasterKeyName;
  keys.m_nKeyNumber = m_nKeyNumber;
  keys.m_strKeyBook = m_strKeyBook;
  if (keys.DoModal() == IDOK) {
    m_strMasterKeyName = keys.m_strMasterKeyName;
    m_nKeyNumber = keys.m_nKeyNumber;
    m_strKeyBook = keys.m_strKeyBook;
  }
  UpdateData(false);
  FillMasterKeyList("No Master Key present, select one and try again.");
}

}  // namespace rux
