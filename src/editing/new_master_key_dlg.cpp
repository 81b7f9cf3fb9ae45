#include "editing/new_master_key_dlg.h"

namespace rux {
namespace {

RecordLook NewLook() {
  RecordLook look;
  look.title = "shell_rux NEW MASTER KEY";
  look.numericCaption = "NUMERIC: ( Minimum Value = 1 )";
  look.numberLabel = "Nr: ";
  return look;
}

}  // namespace

CNewMasterKeyDlg::CNewMasterKeyDlg(QWidget* parent)
    : CRecordEditDlg(parent, NewLook(), CheckMoment::BeforeTextShows) {
  setObjectName("newMasterKey");
  m_strMasterKeyName = "NAME_MASTER_KEY";
  m_strEnlarge = "1";
  m_strScramble = "1";
}

void CNewMasterKeyDlg::OnOK() {
  UpdateData(true);
  MasterKeyRecord record = RecordFromFields();
  const StoreResult stored = StoreNewRecord(m_strKeyBook.toStdString(), record);
  // Nothing stored: the window stays open with what was typed.
  if (!ReportWrite(stored.write)) return;
  Dialog::OnOK();
}

}  // namespace rux
