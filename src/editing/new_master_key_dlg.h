#pragma once
// "shell_rux NEW MASTER KEY": one new Master Key, stored in the first slot
// holding the deleted mark or after the last record.
#include "editing/record_edit_dlg.h"

namespace rux {

class CNewMasterKeyDlg : public CRecordEditDlg {
  Q_OBJECT
 public:
  explicit CNewMasterKeyDlg(QWidget* parent = nullptr);

 protected:
  void OnOK() override;
};

}  // namespace rux
