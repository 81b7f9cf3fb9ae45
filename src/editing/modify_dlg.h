#pragma once
// "shell_rux MODIFY": changes one Master Key in place. The opener primes the
// window with the record's book, number, name and stored texts; the record is
// loaded once more to show its Scramble as a decimal text. OK writes only
// over that record as it was loaded: one that another program changed or
// deleted, before the window opened or while it is open, is left as it is.
#include <optional>
#include <string>

#include "editing/record_edit_dlg.h"

namespace rux {

class CModifyDlg : public CRecordEditDlg {
  Q_OBJECT
 public:
  explicit CModifyDlg(QWidget* parent = nullptr);
  ~CModifyDlg() override;

  // Loads the record, shows "Scramble is: ", then runs the window.
  int DoModal() override;

  // The record as its opener read and shows it: the window writes only over
  // that record. None: over whatever the number holds when the window opens.
  std::optional<NamedRecord> m_shownRecord;

 protected:
  void OnOK() override;

 private:
  // The record as loaded; none when it was not the record the window was given.
  std::optional<std::string> m_loadedBytes;
};

}  // namespace rux
