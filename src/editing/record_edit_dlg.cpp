#include "editing/record_edit_dlg.h"

#include <QLineEdit>
#include <QPushButton>

#include "platform/seams/prompts.h"

namespace rux {

CRecordEditDlg::CRecordEditDlg(QWidget* parent, const RecordLook& look, CheckMoment checkMoment)
    : Dialog(parent), m_form(*this, look) {
  connect(m_form.AddButton("OK", "ok"), &QPushButton::clicked, this, &QDialog::accept);
  m_form.AddButtonGap();
  connect(m_form.AddButton("Cancel", "cancel"), &QPushButton::clicked, this, &QDialog::reject);

  // Every change of a field's text reads all fields; Enlarge and Scramble
  // are then checked.
  for (QLineEdit* field : m_form.TypedFields()) {
    OnNotify(field, &QLineEdit::textChanged, [this] { UpdateData(true); });
  }
  const auto check = [this, checkMoment](QLineEdit* field, NumericField which) {
    OnNotify(field, &QLineEdit::textChanged, [this, field, which, checkMoment] {
      UpdateData(true);
      LiveCheck(this, field, which, checkMoment);
    });
  };
  check(m_form.enlarge, NumericField::Enlarge);
  check(m_form.scramble, NumericField::Scramble);
}

void CRecordEditDlg::DoDataExchange(DataExchange& dx) {
  m_form.Exchange(dx, m_strKeyBook, m_nKeyNumber, m_strMasterKeyName, m_strKey, m_strEnlarge,
                  m_strScramble);
}

MasterKeyRecord CRecordEditDlg::RecordFromFields() {
  MasterKeyRecord record;
  record.bookPath = m_strKeyBook.toStdString();
  record.recordNumber = m_nKeyNumber;
  record.name = m_strMasterKeyName.toStdString();
  for (int i = 0; i < 10; ++i) record.keys[i] = m_strKey[i].toStdString();
  const auto convert = [this](const QString& text, NumericField which) {
    const ConvertedValue converted = ConvertAtOk(text.toStdString());
    if (converted.conversionError) MessageBox(this, ConversionMessage(which), "ERROR");
    return converted.value;
  };
  record.enlarge = convert(m_strEnlarge, NumericField::Enlarge);
  record.scramble = convert(m_strScramble, NumericField::Scramble);
  return record;
}

QString WriteFailureText(const WriteResult& result) {
  switch (result.outcome) {
    case WriteResult::InUse:
      return "The Key Book is in use by another program, try again later.";
    case WriteResult::Unchanged:
      return "The Master Key has been changed by another program, nothing was written.";
    default:
      return "The Key Book is not accessible, access is denied.";
  }
}

bool CRecordEditDlg::ReportWrite(const WriteResult& result) {
  if (result != WriteResult::Written) {
    MessageBox(this, WriteFailureText(result), "ERROR");
    return false;
  }
  MessageBox(this, "The Key Book: " + m_strKeyBook + "\nhas been modified.", "MODIFY");
  return true;
}

}  // namespace rux
