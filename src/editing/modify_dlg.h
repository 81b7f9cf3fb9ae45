#pragma once
// "shell_rux MODIFY": changes one Master Key in place. The opener primes the
// window with the record's book, number, name and stored texts; the record is
// loaded once more to show its Scramble as a decimal text.
#include "editing/record_edit_dlg.h"

namespace rux {

class CModifyDlg : public CRecordEditDlg {
  Q_OBJECT
 public:
  explicit CModifyDlg(QWidget* parent = nullptr);
  ~CModifyDlg() override;

  // Loads the record, shows "Scramble is: ", then runs the window.
  int DoModal() override;

 protected:
  void OnOK() override;
};

}  // namespace rux
