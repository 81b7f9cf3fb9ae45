#include "manage/keys_dlg.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <climits>

#include "editing/record_edit_dlg.h"
#include "keybook/key_book.h"
#include "platform/seams/prompts.h"
#include "platform/widgets/long_list.h"

namespace rux {
namespace {

RecordLook KeysLook() {
  RecordLook look;
  look.title = "shell_rux KEYS";
  look.numericCaption = "NUMERIC:";
  look.numberLabel = "Nr:";
  look.nameInList = true;
  look.recordEditable = false;
  look.bookEditable = true;
  return look;
}

}  // namespace

CKeysDlg::CKeysDlg(QWidget* parent) : Dialog(parent), m_form(*this, KeysLook()) {
  setObjectName("keys");
  // A title bar without a window menu: the window closes through OK or Cancel.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

  AddButton("Browse", "browse", &CKeysDlg::OnBrowse);
  AddButton("NEW Key Book", "newKeyBook", &CKeysDlg::OnNewKeyBook);
  QPushButton* ok = m_form.AddButton("OK", "ok");
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  m_bookButtons = {ok, AddButton("Search", "search", &CKeysDlg::OnSearch),
                   AddButton("New", "new", &CKeysDlg::OnNew),
                   AddButton("Delete", "delete", &CKeysDlg::OnDelete),
                   AddButton("Modify", "modify", &CKeysDlg::OnModify)};
  m_form.AddButtonGap();
  connect(m_form.AddButton("Cancel", "cancel"), &QPushButton::clicked, this, &QDialog::reject);

  OnNotify(m_form.keyBook, &QLineEdit::textChanged, [this] { RefreshList(); });
  OnNotify(m_form.nameList, &QComboBox::activated, [this] { ShowSelected(); });
}

CKeysDlg::~CKeysDlg() = default;

QPushButton* CKeysDlg::AddButton(const QString& text, const QString& name,
                                 void (CKeysDlg::*handler)()) {
  const bool besideBook = name == "browse" || name == "newKeyBook";
  QPushButton* button =
      besideBook ? m_form.AddBookButton(text, name) : m_form.AddButton(text, name);
  connect(button, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
  return button;
}

void CKeysDlg::DoDataExchange(DataExchange& dx) {
  m_form.Exchange(dx, m_strKeyBook, m_nKeyNumber, m_strMasterKeyName, m_strKey, m_strEnlarge,
                  m_strScramble);
}

bool CKeysDlg::OnInitDialog() {
  Dialog::OnInitDialog();
  EnableButtons();
  m_listed = BookSnapshot();  // the first repaint lists the book
  return true;
}

bool CKeysDlg::EnableButtons() {
  const bool held = !m_strKeyBook.isEmpty();
  for (QPushButton* button : m_bookButtons) button->setEnabled(held);
  return held;
}

bool CKeysDlg::RefreshList() {
  if (!EnableButtons()) {
    MessageBox(this, "No Master Key present.", "ERROR");
    m_form.nameList->setFocus();
    return false;
  }
  // Taken before the names: a change made meanwhile shows at the next repaint.
  m_listed = ReadBookSnapshot(m_strKeyBook.toStdString());
  LongListEntries live;
  const bool listed =
      ForEachName(m_listed.path, [&live](std::uint64_t number, const NameEntry& entry) {
        if (!entry.deleted) live.Add(static_cast<qint64>(number), entry.name);
      });
  if (!listed) {
    m_form.keyBook->setFocus();  // the list keeps its entries
    return false;
  }
  LongList::Of(m_form.nameList)->Reset(std::move(live));
  UpdateData(false);  // selects the held name's entry
  m_form.nameList->setFocus();
  return true;
}

void CKeysDlg::ShowSelected() {
  const int selected = m_form.nameList->currentIndex();
  if (selected < 0) return;
  m_strMasterKeyName = m_form.nameList->itemText(selected);
  const Lookup found = FindListedName(m_strMasterKeyName);
  if (found.open != OpenResult::Ok) {
    MessageBox(this,
               found.open == OpenResult::InUse
                   ? WriteFailureText(WriteResult::InUse)
                   : QString("The Key Book is not accessible, access is denied."),
               "ERROR");
    m_form.keyBook->setFocus();
    return;
  }
  if (!found.record) return;
  for (int i = 0; i < 10; ++i) m_strKey[i] = QString::fromStdString(found.record->fields[i]);
  m_strEnlarge = QString::fromStdString(found.record->fields[10]);
  m_strScramble = QString::fromStdString(found.record->fields[11]);
  m_nKeyNumber = found.record->number;
  m_shown = *found.record;
  m_shownBook = m_strKeyBook;
  UpdateData(false);
}

// The first record of that name (FindByName). While the book is as it was
// listed, the list knows the number of the first live record of a listed
// name, and no deleted record can bear one: one record is read instead of
// the whole book.
Lookup CKeysDlg::FindListedName(const QString& name) const {
  const std::string path = m_strKeyBook.toStdString();
  const std::string wanted = name.toStdString();
  const LongList* list = LongList::Of(m_form.nameList);
  const int row = list->Find(name);
  if (row >= 0 && list->data(list->index(row), Qt::DisplayRole).toString() == name &&
      ReadBookSnapshot(path) == m_listed && list->NumberOf(row) <= INT_MAX) {
    Lookup read = ReadFields(path, static_cast<int>(list->NumberOf(row)));
    if (read.open != OpenResult::Ok || (read.record && read.record->name == wanted)) return read;
  }
  return FindByName(path, wanted);
}

void CKeysDlg::RefreshOnRepaint() {
  if (m_strKeyBook.isEmpty()) return;
  // Nothing is re-read while a window or box of ours is up over this one.
  const QWidget* modal = QApplication::activeModalWidget();
  if (modal != nullptr && modal != this) return;
  if (ReadBookSnapshot(m_strKeyBook.toStdString()) != m_listed) {
    // A book that cannot be listed has nothing to show.
    if (RefreshList() && !m_strMasterKeyName.isEmpty()) ShowSelected();
  }
  UpdateData(true);
}

void CKeysDlg::paintEvent(QPaintEvent* event) {
  Dialog::paintEvent(event);
  // Runs once the painting is over, so the refresh never paints inside a paint.
  if (m_repaintQueued) return;
  m_repaintQueued = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        m_repaintQueued = false;
        RefreshOnRepaint();
      },
      Qt::QueuedConnection);
}

}  // namespace rux
