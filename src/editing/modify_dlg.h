#pragma once
// "shell_rux MODIFY": changes one Master Key in place. The opener primes the
// window with the record's book, number, name and stored texts; the record is
// loaded once more to show its Scramble as a decimal text. OK writes only
// over the record as it was loaded: one changed since by another program is
// left as it is.
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

 private:
  std::string m_loadedBytes;  // the record as loaded; none when it was not present
};

}  // namespace rux
