// The key management window run as the main window runs it: listing, New,
// Modify, Delete, the repaint that re-reads the book, and the book search.
#include <fcntl.h>
#include <sys/file.h>
#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include <gtest/gtest.h>

#include "editing/book_fixture.h"
#include "editing/modify_dlg.h"
#include "editing/new_master_key_dlg.h"
#include "manage/book_search.h"
#include "manage/keys_dlg.h"
#include "manage/search_dlg.h"
#include "platform/files/file_lock.h"
#include "support/modal_script.h"
#include "support/scripted_prompts.h"
#include "support/widget_find.h"

namespace rux::test {
namespace {

const QString kNotAccessible = "ERROR: The Key Book is not accessible, access is denied.";
const QString kChanged =
    "ERROR: The Master Key has been changed by another program, nothing was written.";

class KeysTest : public ::testing::Test {
 protected:
  // Runs the window through the queued steps; keeps the book, name and number it hands back.
  void RunKeys(const std::string& path, const QString& name = QString(), int number = 0) {
    CKeysDlg keys;
    keys.m_strKeyBook = QString::fromStdString(path);
    keys.m_strMasterKeyName = name;
    keys.m_nKeyNumber = number;
    keys.DoModal();
    returned = {keys.m_strKeyBook, keys.m_strMasterKeyName, QString::number(keys.m_nKeyNumber)};
  }
  static QComboBox* List(QDialog& d) { return Child<QComboBox>(&d, "masterKeyName"); }
  static void Click(QDialog& d, const char* button) { Child<QPushButton>(&d, button)->click(); }
  static QStringList Entries(QDialog& d) {
    QStringList entries;
    for (int i = 0; i < List(d)->count(); ++i) entries << List(d)->itemText(i);
    return entries;
  }
  static void Pick(QDialog& d, int index) {  // the user picks list entry index
    List(d)->setCurrentIndex(index);
    emit List(d)->activated(index);
  }
  static QString Shown(QDialog& d, std::initializer_list<const char*> fields) {  // joined by blanks
    QStringList texts;
    for (const char* field : fields) texts << Child<QLineEdit>(&d, field)->text();
    return texts.join(' ');
  }
  QString Book() const { return QString::fromStdString(book); }
  QString Found(int at) const {
    return Book() +
           QString(": Found at: %1 registry location.%2").arg(at).arg(at / RECORD_SIZE + 1);
  }

  CapturedDiagnostics quiet;
  ScriptedPrompts prompts;
  ModalScript modal;
  TempDir dir;
  std::string book = dir.File("book.dat");
  QStringList returned;
};

// Without a book only Browse and NEW Key Book work. Deleted records are hidden but
// counted; of two records of one name the first is shown, also after a change by
// another program. New fills the first free slot, Modify shows the shown record,
// Delete asks; numbers without a live record are refused; a record replaced while
// the question is up stays, and a failed delete is not reported as done. Nothing
// reaches standard output, as in the program.
TEST_F(KeysTest, FromNoBookThroughNewModifyAndDeleteEveryNumberIsKept) {
  SetDiagnostics(nullptr);
  MasterKeyRecord twin = KeyRecord("other"), deux = KeyRecord("nnnova");
  twin.name = "dup";
  MakeBook(book, {KeyRecord("one"), std::nullopt, KeyRecord("dup"), KeyRecord("nnnova"), twin});
  const std::string fresh = dir.File("fresh.dat"), aside = dir.File("aside.dat");
  std::string damaged = ReadBytes(book);  // record 1's Key 1 without its end: still deletable
  WriteBytes(book, damaged.replace(KeyOffset(1), 65, std::string(65, 'x')));
  prompts.CancelPick().Pick(Book()).Answer(Answer::Cancel).Answer(Answer::Ok).Answer(Answer::Ok);
  prompts.Answer(Answer::Ok).Pick(QString::fromStdString(fresh));
  prompts.onPrompt = [&](const Prompt& p) {  // at the third question another program writes,
    if (p.caption == "DELETE" && prompts.Captions().count("DELETE") == 3)
      WriteRecordAt(book, 1, KeyRecord("swapped"));
    if (p.caption != "DELETE" || prompts.Captions().count("DELETE") < 4) return;
    std::filesystem::rename(book, aside);  // at the fourth a folder takes the book's place
    std::filesystem::create_directory(book);
  };
  modal.Then<CKeysDlg>([&](CKeysDlg& d) {
    EXPECT_EQ(d.windowTitle(), "shell_rux KEYS");
    for (auto button : {&CKeysDlg::OnSearch, &CKeysDlg::OnNew, &CKeysDlg::OnModify,
                        &CKeysDlg::OnDelete, &CKeysDlg::OnBrowse})
      (d.*button)();  // nothing opens; the picker is cancelled
    Click(d, "browse");
    EXPECT_EQ(Entries(d), QStringList({"one", "dup", "nnnova", "dup"}));
    Pick(d, 2);
    EXPECT_EQ(Shown(d, {"keyNumber", "key2", "key10", "enlarge", "scramble"}),
              "4 nnnova-k2 nnnova-k10 5000000000 3250000000.01");
    Click(d, "search");  // cancelled
    Click(d, "search");
    Pick(d, 3);
    EXPECT_EQ(Shown(d, {"keyNumber", "key1"}), "3 dup-k1");
    d.OnNew();
    EXPECT_EQ(Entries(d), QStringList({"one", "added", "dup", "nnnova", "dup"}));
    EXPECT_EQ(List(d)->currentText(), "added");
    EXPECT_EQ(Shown(d, {"keyNumber", "key1", "scramble"}), "2  1000000000.01");
    Pick(d, 3);
    Click(d, "modify");
    EXPECT_EQ(Entries(d), QStringList({"one", "added", "dup", "deux", "dup"}));
    EXPECT_EQ(Shown(d, {"keyNumber"}), "4");
    Pick(d, 0);
    d.RefreshOnRepaint();  // reads the fields back, the damaged key cut to 64
    d.OnDelete();          // cancelled
    Pick(d, 2);
    Click(d, "delete");
    EXPECT_EQ(Entries(d), QStringList({"one", "added", "deux", "dup"}));
    for (int number : {0, 6, -1, 3}) {
      d.m_nKeyNumber = number;
      d.OnDelete();
      d.OnModify();  // opens no modify window
    }
    const int held = ::open(book.c_str(), O_RDONLY);  // by another program
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    {
      LockPatience brief(std::chrono::milliseconds(20));
      d.m_nKeyNumber = 1;
      d.OnDelete();
      d.OnModify();
      Pick(d, 0);
    }
    ::close(held);
    WriteRecordAt(book, 1, twin);
    Pick(d, 3);
    EXPECT_EQ(Shown(d, {"keyNumber", "key1"}), "1 other-k1");
    QTest::keyClicks(List(d)->lineEdit(), "zz");  // typed, read as Search reads it: no change
    d.UpdateData(true);
    d.OnDelete();  // replaced during the question: left alone
    d.OnDelete();  // nor deleted or modified while the window shows the old one
    d.OnModify();
    d.RefreshOnRepaint();
    Pick(d, 0);
    EXPECT_EQ(Shown(d, {"keyNumber", "key1"}), "1 swapped-k1");
    d.OnDelete();
    Click(d, "newKeyBook");
    d.RefreshOnRepaint();
    EXPECT_FALSE(Exists(fresh));
    Click(d, "new");
    EXPECT_EQ(Entries(d), QStringList({"first"}));
    List(d)->lineEdit()->selectAll();
    QTest::keyClicks(List(d)->lineEdit(), "typed");
    d.accept();
  });
  for (bool confirm : {false, true}) {
    modal.Then<CSearchDlg>([confirm](CSearchDlg& d) {
      EXPECT_EQ(QStringList({d.windowTitle(), Child<QGroupBox>(&d, "searchGroup")->title(),
                             Child<QLabel>(&d, "searchLabel")->text()}),
                QStringList({"shell_rux SEARCH", "Searh on Key Book", "Text to Search..."}));
      QTest::keyClicks(Child<QLineEdit>(&d, "searchText"), "nova-k2");
      confirm ? d.accept() : d.reject();
    });
  }
  modal.Then<CNewMasterKeyDlg>([](CNewMasterKeyDlg& d) {
    EXPECT_EQ(d.windowTitle(), "shell_rux NEW MASTER KEY");
    EXPECT_EQ(Shown(d, {"keyNumber", "masterKeyName", "enlarge", "scramble", "key1"}),
              "3 NAME_MASTER_KEY 1 1 ");  // the number for orientation only
    Child<QLineEdit>(&d, "masterKeyName")->setText("added");
    d.accept();
  });
  modal.Then<CModifyDlg>([&](CModifyDlg& d) {  // OK keeps every field it shows as it was
    EXPECT_EQ(d.windowTitle(), "shell_rux MODIFY");
    EXPECT_EQ(Shown(d, {"keyBook", "keyNumber", "key7", "enlarge", "scramble"}),
              Book() + " 4 nnnova-k7 5000000000 +3.250000000");
    List(d)->setEditText("deux");
    d.accept();
  });
  modal.Then<CNewMasterKeyDlg>([](CNewMasterKeyDlg& d) {
    Child<QLineEdit>(&d, "masterKeyName")->setText("first");
    d.accept();
  });
  testing::internal::CaptureStdout();
  RunKeys("");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  MasterKeyRecord added = KeyRecord("added", 1, 1), first = KeyRecord("first", 1, 1);
  added.keys = first.keys = {};  // as the new master key window stores them
  deux.name = "deux";
  EXPECT_EQ(ReadBytes(aside), BytesOf(KeyRecord("swapped")) + BytesOf(added) + DeletedMark() +
                                  BytesOf(deux) + BytesOf(twin));
  EXPECT_EQ(ReadBytes(fresh), BytesOf(first));
  EXPECT_EQ(returned, QStringList({QString::fromStdString(fresh), "typed", "1"}));
  const QString question =
      "DELETE: ATTENTION! Do you really want to delete The Master Key number: ";
  const auto modified = [](const std::string& path) {
    return "MODIFY: The Key Book: " + QString::fromStdString(path) + "\nhas been modified.";
  };
  EXPECT_EQ(
      prompts.Boxes(),
      QStringList({"ERROR: No Master Key present.", Found(3 * RECORD_SIZE + KeyOffset(2) + 2),
                   modified(book), "SCRAMBLE: Scramble is: +3.250000000", modified(book),
                   question + "1", "CANCEL: The operation has been cancelled.", question + "3",
                   "DELETED: The Master Key has been successfully deleted."}) +
          QStringList(8, "ERROR: No Master Key present, select one and try again.") +
          QStringList(3, "ERROR: The Key Book is in use by another program, try again later.") +
          QStringList({question + "1", kChanged, kChanged, kChanged, question + "1", kNotAccessible,
                       modified(fresh)}));
  QStringList pickers;  // initial name, Save, replace question
  for (const Prompt& p : prompts.All())
    if (p.isPicker)
      pickers << QString("%1 %2 %3").arg(p.initialName).arg(int(p.picker)).arg(p.overwritePrompt);
  for (const Prompt& p : prompts.Messages()) EXPECT_EQ(p.icon, Icon::Exclamation);
  EXPECT_EQ(pickers, QStringList({"*.* 0 0", "*.* 0 0", "*.* 1 1"}));
}

// Paints and handles what painting queued; capped, so endless repainting shows as a count.
void Paint(CKeysDlg& d) {
  d.repaint();
  for (int i = 0; i < 20; ++i) QApplication::processEvents();
}

// The list appears at the first paint; a change by another program, or a newly chosen
// book, shows at the next; nothing is rebuilt or said while nothing changed, nor while
// the book cannot be read, until an entry is picked.
TEST_F(KeysTest, TheBookIsReadAtEachPaintThatFindsItChanged) {
  NamesBook(book, {"one", "two", "three"});
  const std::string other = NamesBook(dir.File("other.dat"), {"alpha", "beta"});
  prompts.Pick(QString::fromStdString(other));
  modal.Then<CKeysDlg>([&](CKeysDlg& d) {
    EXPECT_EQ(List(d)->count(), 0);  // nothing is read before the window is painted
    int listings = 0;
    QObject::connect(List(d)->model(), &QAbstractItemModel::modelReset, &d, [&] { ++listings; });
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    for (int i = 0; i < 5; ++i) Paint(d);
    EXPECT_EQ(listings, 1);
    EXPECT_EQ(Shown(d, {"keyNumber", "key4"}), "1 one-k4");
    MasterKeyRecord changed = KeyRecord("one");  // the same size, other names and keys
    changed.keys[3] = "new key";
    MakeBook(book, {changed, KeyRecord("zwei"), KeyRecord("three")});
    Paint(d);
    EXPECT_EQ(Entries(d), QStringList({"one", "zwei", "three"}));
    EXPECT_EQ(Shown(d, {"key4"}), "new key");
    d.OnNewKeyBook();
    Paint(d);
    EXPECT_EQ(Entries(d), QStringList({"alpha", "beta"}));
    std::filesystem::remove(other);
    std::filesystem::create_directory(other);
    for (int i = 0; i < 5; ++i) Paint(d);
    EXPECT_EQ(Entries(d), QStringList({"alpha", "beta"}));
    EXPECT_TRUE(prompts.Messages().empty());
    Pick(d, 1);
    d.reject();
  });
  RunKeys(book, "one", 2);
  EXPECT_EQ(prompts.Boxes(), QStringList({kNotAccessible}));
}

// One box per match, in file order, with its byte and record, also across
// field ends; after each hundred the user may go on or stop, but is not asked
// after the last match; case counts; a text the book cannot spell is nowhere.
TEST_F(KeysTest, EachMatchIsOneBoxAndAfterEachHundredTheUserMayStop) {
  NamesBook(book, std::vector<const char*>(100, "Q"));
  const auto search = [&](const QString& text) {
    prompts.Clear();
    SearchBook(nullptr, Book(), text);
    return prompts.Boxes();
  };
  QStringList everyName, everyByte;
  for (int at = 0; at < 200; ++at) {
    if (at < 100) everyName << Found(at * RECORD_SIZE);
    everyByte << Found(at);
    if (at % 100 == 99) everyByte << Book() + ": More matches follow. Show them?";
  }
  EXPECT_EQ(search(QString::fromLatin1("Q\0_", 3)), everyName);
  prompts.Answer(Answer::Ok).Answer(Answer::Cancel);
  EXPECT_EQ(search(""), everyByte);  // the empty text matches every byte
  for (const QString& text :
       {QString("q"), QString(100 * RECORD_SIZE + 1, 'Q'), QString::fromUtf8("\xE4\xB8\xAD")})
    EXPECT_TRUE(search(text).isEmpty()) << text.size();
}

}  // namespace
}  // namespace rux::test
