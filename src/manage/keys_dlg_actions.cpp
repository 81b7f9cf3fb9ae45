// The buttons of the key management window that open pickers and windows or
// change the book.
#include <QLineEdit>

#include "editing/modify_dlg.h"
#include "editing/new_master_key_dlg.h"
#include "editing/record_edit_dlg.h"
#include "keybook/key_book.h"
#include "manage/book_search.h"
#include "manage/keys_dlg.h"
#include "manage/search_dlg.h"
#include "platform/seams/prompts.h"

namespace rux {

void CKeysDlg::OnBrowse() {
  if (const auto picked = PickOpenFile(this, "*.*")) {
    m_strKeyBook = *picked;
    UpdateData(false);
  }
  // Setting the Key Book field runs the list refresh; a field that already
  // holds the path is refreshed directly.
  if (m_form.keyBook->text() != m_strKeyBook)
    m_form.keyBook->setText(m_strKeyBook);
  else
    RefreshList();
}

void CKeysDlg::OnNewKeyBook() {
  // Only a path is chosen; the book comes into being when it is first written.
  if (const auto picked = PickSaveFile(this, "*.*", true)) {
    m_strKeyBook = *picked;
    UpdateData(false);
  }
}

void CKeysDlg::OnNew() {
  if (!EnableButtons()) return;
  CNewMasterKeyDlg window(this);
  window.m_strKeyBook = m_strKeyBook;
  window.m_nKeyNumber = m_nKeyNumber;
  m_strMasterKeyName.clear();
  if (window.DoModal() == IDOK) {
    UpdateData(false);
    m_strMasterKeyName = window.m_strMasterKeyName;
    m_nKeyNumber = window.m_nKeyNumber;
    m_strKey = window.m_strKey;
    m_strEnlarge = window.m_strEnlarge;
    m_strScramble = window.m_strScramble;
  }
  RefreshList();
  ShowSelected();
  UpdateData(true);
}

// Nr 0, beyond the last record (a number handed in that no shown record has
// replaced yet) or a deleted slot: there is no Master Key to modify or
// delete. Writing beyond the end would fill the book with empty records, and
// a deleted slot would come back to life as a record with an empty name. A
// record that another program changed since it was shown is left alone too.
bool CKeysDlg::CheckNumberInBook() {
  const std::string path = m_strKeyBook.toStdString();
  // Nothing of this book shown: none picked yet, or another book browsed to.
  if (m_shown && m_shownBook == m_strKeyBook && m_nKeyNumber > 0) {
    const Lookup lookup = ReadFields(path, m_nKeyNumber);  // past the last record: nothing
    if (lookup.record && !lookup.record->deleted) {
      if (*lookup.record == *m_shown) return true;
      MessageBox(this, WriteFailureText(WriteResult::Unchanged), "ERROR");
      return false;
    }
    if (lookup.open == OpenResult::InUse) {
      MessageBox(this, WriteFailureText(WriteResult::InUse), "ERROR");
      return false;
    }
  }
  MessageBox(this, "No Master Key present, select one and try again.", "ERROR");
  return false;
}

void CKeysDlg::OnModify() {
  if (!EnableButtons()) return;
  if (!CheckNumberInBook()) return;
  CModifyDlg window(this);
  window.m_strKeyBook = m_strKeyBook;
  window.m_nKeyNumber = m_nKeyNumber;
  window.m_strMasterKeyName = QString::fromStdString(m_shown->name);  // not a text typed since
  window.m_shownRecord = m_shown;
  window.m_strKey = m_strKey;
  window.m_strEnlarge = m_strEnlarge;
  window.m_strScramble = m_strScramble;
  if (window.DoModal() == IDOK) {
    UpdateData(false);
    m_strMasterKeyName = window.m_strMasterKeyName;
  }
  RefreshList();
  ShowSelected();
  UpdateData(true);
}

void CKeysDlg::OnDelete() {
  if (!EnableButtons()) return;
  if (!CheckNumberInBook()) return;
  const std::string path = m_strKeyBook.toStdString();
  const QString question =
      QString("ATTENTION! Do you really want to delete The Master Key number: %1")
          .arg(m_nKeyNumber);
  if (!Confirm(this, question, "DELETE")) {
    MessageBox(this, "The operation has been cancelled.", "CANCEL");
    return;
  }
  ListRecordsToConsole(path, m_nKeyNumber, 1);
  // Only the record the user was asked about, were it changed during the question.
  const WriteResult deleted = MarkDeleted(path, m_nKeyNumber, [this](std::string_view stored) {
    return NamedRecordOf(m_nKeyNumber, stored) == *m_shown;
  });
  if (deleted != WriteResult::Written) {
    MessageBox(this, WriteFailureText(deleted), "ERROR");
    return;
  }
  MessageBox(this, "The Master Key has been successfully deleted.", "DELETED");
  m_strMasterKeyName.clear();
  RefreshList();
  ShowSelected();
}

void CKeysDlg::OnSearch() {
  if (!EnableButtons()) return;
  CSearchDlg window(this);
  if (window.DoModal() != IDOK) return;
  UpdateData(true);
  SearchBook(this, m_strKeyBook, window.m_strSearchText);
}

}  // namespace rux
