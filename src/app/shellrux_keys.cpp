// Choosing the Key Book and the Master Key in the main window.
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <algorithm>

#include "app/shellrux_dlg.h"
#include "keybook/key_book.h"
#include "platform/seams/prompts.h"

namespace rux {

namespace {

std::string FilePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

void ReportBookNotAccessible(CShellruxDlg& window) {
  MessageBox(&window, "The Key Book is not accessible, access is denied.", "ERROR");
  window.ParamField(1)->setFocus();
}

// The list holds the live records only: the position of record number among
// them, or -1 when that record is deleted or not in the book.
int ListPosition(const std::vector<NameEntry>& names, int number) {
  if (number < 1 || static_cast<std::size_t>(number) > names.size()) return -1;
  const auto record = names.begin() + (number - 1);
  if (record->deleted) return -1;
  return static_cast<int>(
      std::count_if(names.begin(), record, [](const NameEntry& e) { return !e.deleted; }));
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
  const std::optional<std::vector<NameEntry>> names = ListNames(FilePath(m_strKeyBook));
  if (!names) return ReportBookNotAccessible(*this);
  QStringList live;
  for (const NameEntry& entry : *names) {
    if (!entry.deleted) live << Text(entry.name);
  }
  m_comboMasterKey->clear();
  m_comboMasterKey->addItems(live);
  UpdateData(false);
  m_comboMasterKey->setFocus();
  SelectEntry(m_comboMasterKey, ListPosition(*names, m_nKeyNumber));
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
