#pragma once
// What the new master key window and the modify window have in common: the
// record's values bound to the shared layout, the live checks while the user
// types, the conversion at OK and the report of the write.
#include <QString>
#include <array>

#include "editing/live_check.h"
#include "editing/record_form.h"
#include "keybook/key_book.h"
#include "platform/widgets/dialog.h"

namespace rux {

// Why a Master Key did not reach its book, as the windows say it.
QString WriteFailureText(const WriteResult& result);

class CRecordEditDlg : public Dialog {
  Q_OBJECT
 public:
  QString m_strKeyBook;
  int m_nKeyNumber = 0;
  QString m_strMasterKeyName;
  std::array<QString, 10> m_strKey;  // m_strKey1 ... m_strKey10
  QString m_strEnlarge;
  QString m_strScramble;

 protected:
  CRecordEditDlg(QWidget* parent, const RecordLook& look, CheckMoment checkMoment);

  void DoDataExchange(DataExchange& dx) override;

  // The record the fields hold, Enlarge and Scramble converted as at OK: a
  // text that does not convert shows its conversion message and gives 0.
  MasterKeyRecord RecordFromFields();
  // Tells the user whether the record reached the book; true when it did.
  bool ReportWrite(const WriteResult& result);

  RecordForm m_form;
};

}  // namespace rux
