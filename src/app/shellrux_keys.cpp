// Choosing the Key Book and the Master Key in the main window.
#include <QComboBox>
#include <QFile>
#include <QLineEdit>

#include "app/shellrux_dlg.h"
#include "keybook/key_book.h"
#include "platform/seams/prompts.h"
#include "platform/widgets/long_list.h"

namespace rux {

namespace {

std::string FilePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

void ReportBookNotAccessible(CShellruxDlg& window) {
  MessageBox(&window, "The Key Book is not accessible, access is denied.", "ERROR");
  window.ParamField(1)->setFocus();
}

// Selects the entry at position, or none when there is no such entry.
void SelectEntry(QComboBox* combo, long long position) {
  combo->setCurrentIndex(position >= 0 && position < combo->count() ? static_cast<int>(position)
                                                                    : -1);
}

}  // namespace

void CShellruxDlg::KeepKeyTexts(int number, const FieldTexts& fields) {
  for (std::size_t i = 0; i < m_strKey.size(); ++i) m_strKey[i] = Text(fields[i]);
  m_nLastKeyRead = number;
  m_strLastKeyBook = m_strKeyBook;
}

void CShellruxDlg::ForgetLastKeyRead() {
  m_strKey.fill(QString());
  m_nLastKeyRead = kNoKeyRead;
}

// A read that finds no record, and a read after the Key Book changed, forget
// the record read before: "Copy Keys to Log" never logs another record's keys.
void CShellruxDlg::ReadMasterKey() {
  if (m_strKeyBook != m_strLastKeyBook) ForgetLastKeyRead();
  const Lookup lookup = ReadFields(FilePath(m_strKeyBook), m_nKeyNumber);
  if (lookup.open != OpenResult::Ok) return ReportBookNotAccessible(*this);
  if (lookup.record) {
    m_strMasterKeyName = Text(lookup.record->name);
    KeepKeyTexts(m_nKeyNumber, lookup.record->fields);
  } else {
    ForgetLastKeyRead();
  }
  UpdateData(false);
}

void CShellruxDlg::FillMasterKeyList(const QString& emptyMessage) {
  if (m_strKeyBook.isEmpty()) {
    MessageBox(this, emptyMessage, "ERROR");
    m_comboMasterKey->setFocus();
    SelectEntry(m_comboMasterKey, static_cast<long long>(m_nKeyNumber) - 1);
    return;
  }
  // The list holds the live records only.
  LongListEntries live;
  const bool listed =
      ForEachName(FilePath(m_strKeyBook), [&live](std::uint64_t number, const NameEntry& entry) {
        if (!entry.deleted) live.Add(static_cast<qint64>(number), entry.name);
      });
  if (!listed) return ReportBookNotAccessible(*this);
  LongList* list = LongList::Of(m_comboMasterKey);
  list->Reset(std::move(live));
  UpdateData(false);
  m_comboMasterKey->setFocus();
  SelectEntry(m_comboMasterKey, list->RowOf(m_nKeyNumber));
  // The box's text member follows the selection, so that later refreshes
  // keep showing the chosen record's entry instead of the first one.
  m_strMasterKeyCombo = m_comboMasterKey->currentText();
}

void CShellruxDlg::FindMasterKeyByName(const QString& name) {
  const Lookup lookup = FindByName(FilePath(m_strKeyBook), name.toStdString());
  if (lookup.open != OpenResult::Ok) return ReportBookNotAccessible(*this);
  if (lookup.record) {
    m_nKeyNumber = lookup.record->number;
    KeepKeyTexts(lookup.record->number, lookup.record->fields);
  }
  UpdateData(false);
}

void CShellruxDlg::OnBrowseKeyBook() {
  if (const std::optional<QString> path = PickOpenFile(this, "*.*")) {
    m_strKeyBook = *path;
    m_nKeyNumber = 1;
    ReadMasterKey();
    UpdateData(false);
  }
  FillMasterKeyList("No Master Key present, select one and try again.");
}

void CShellruxDlg::OnSelectMasterKey() {
  const int picked = m_comboMasterKey->currentIndex();
  m_strMasterKeyCombo = picked >= 0 ? m_comboMasterKey->itemText(picked) : QString();
  FindMasterKeyByName(m_strMasterKeyCombo);
  m_strMasterKeyName = m_strMasterKeyCombo;
  UpdateData(false);
  UpdateData(true);
}

}  // namespace rux
