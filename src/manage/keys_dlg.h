#pragma once
// "shell_rux KEYS": the key management window. The user chooses or creates a
// Key Book, picks a Master Key from its list and sees that record's stored
// texts; New, Modify, Delete and Search work on the book; OK hands the book
// path, the Master Key name and its number back to the opener.
#include <QString>
#include <array>
#include <optional>

#include "editing/record_form.h"
#include "keybook/key_book.h"
#include "manage/book_snapshot.h"
#include "platform/widgets/dialog.h"

class QPushButton;

namespace rux {

class CKeysDlg : public Dialog {
  Q_OBJECT
 public:
  explicit CKeysDlg(QWidget* parent = nullptr);
  ~CKeysDlg() override;

  QString m_strKeyBook;
  QString m_strMasterKeyName;
  int m_nKeyNumber = 0;
  QString m_strEnlarge;
  QString m_strScramble;
  std::array<QString, 10> m_strKey;  // m_strKey1 ... m_strKey10: the shown record's stored texts

  // Lists the live names of the held book; false when nothing was listed.
  bool RefreshList();
  // Shows the record of the selected list entry.
  void ShowSelected();
  // On each repaint: lists and shows again when the book has changed since
  // it was last listed, then reads the fields back.
  void RefreshOnRepaint();

  // The buttons.
  void OnBrowse();
  void OnNewKeyBook();
  void OnNew();
  void OnModify();
  void OnDelete();
  void OnSearch();

 protected:
  void DoDataExchange(DataExchange& dx) override;
  bool OnInitDialog() override;
  void paintEvent(QPaintEvent* event) override;

 private:
  // Enables OK, Search, New, Delete and Modify when a book is held; true then.
  bool EnableButtons();
  Lookup FindListedName(const QString& name) const;
  // True when Nr names a live record of the book, the one shown; otherwise says so.
  bool CheckNumberInBook();
  QPushButton* AddButton(const QString& text, const QString& name, void (CKeysDlg::*handler)());

  RecordForm m_form;
  // The record the fields show, as read from its book (not as the fields
  // give it back: they may have cut a damaged text), and that book.
  std::optional<NamedRecord> m_shown;
  QString m_shownBook;
  std::array<QPushButton*, 5> m_bookButtons{};
  BookSnapshot m_listed;  // the book the list shows
  bool m_repaintQueued = false;
};

}  // namespace rux
