#include "editing/modify_dlg.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "platform/seams/prompts.h"

namespace rux {
namespace {

RecordLook ModifyLook() {
  RecordLook look;
  look.title = "shell_rux MODIFY";
  look.numericCaption = "NUMERIC: ( minimun value = 1 )";
  look.numberLabel = "Nr: ";
  look.nameInList = true;
  return look;
}

}  // namespace

CModifyDlg::CModifyDlg(QWidget* parent)
    : CRecordEditDlg(parent, ModifyLook(), CheckMoment::AfterTextShows) {
  setObjectName("modify");
  // Tab order: Master Key, Key 1 ... Key 10, Enlarge, Scramble, OK, Cancel
  // (the Key Book and Nr fields are greyed and skipped).
  QWidget* previous = m_form.nameList;
  const auto next = [&previous](QWidget* widget) {
    setTabOrder(previous, widget);
    previous = widget;
  };
  for (QLineEdit* key : m_form.keys) next(key);
  next(m_form.enlarge);
  next(m_form.scramble);
  next(findChild<QPushButton*>("ok"));
  next(findChild<QPushButton*>("cancel"));
}

CModifyDlg::~CModifyDlg() = default;

int CModifyDlg::DoModal() {
  MasterKeyRecord record;
  std::string bytes;
  m_loadedBytes.reset();
  if (LoadRecord(m_strKeyBook.toStdString(), m_nKeyNumber, record, &bytes) == LoadResult::Loaded &&
      (!m_shownRecord || NamedRecordOf(m_nKeyNumber, bytes) == *m_shownRecord)) {
    m_loadedBytes = std::move(bytes);
    m_strScramble = QString::fromStdString(FormatScramble(record));
  }
  MessageBox(this, "Scramble is: " + m_strScramble, "SCRAMBLE");
  return Dialog::DoModal();
}

void CModifyDlg::OnOK() {
  UpdateData(true);
  const MasterKeyRecord record = RecordFromFields();
  const WriteResult written =
      ChangeRecord(m_strKeyBook.toStdString(), m_nKeyNumber,
                   [&](std::string_view stored) -> std::optional<std::string> {
                     if (!m_loadedBytes || stored != *m_loadedBytes) return std::nullopt;
                     return RecordBytes(record, Diagnostics());
                   });
  // Changed by another program: nothing to keep the window open for.
  if (written == WriteResult::Unchanged) {
    ReportWrite(written);
    return Dialog::OnCancel();
  }
  // Nothing written: the window stays open with what was typed.
  if (!ReportWrite(written)) return;
  Dialog::OnOK();
}

}  // namespace rux
