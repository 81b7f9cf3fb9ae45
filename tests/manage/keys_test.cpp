// The key management window: listing, New, Modify and Delete, the repaint
// that re-reads the book, and the book search.
#include <fcntl.h>
#include <unistd.h>
#include <QAbstractItemModel>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <filesystem>

#include "editing/modify_dlg.h"
#include "editing/new_master_key_dlg.h"
#include "manage/book_search.h"
#include "manage/keys_fixture.h"
#include "manage/search_dlg.h"

namespace rux::test {
namespace {

const QString kNoKey = "ERROR: No Master Key present, select one and try again.";
const QString kNotAccessible = "ERROR: The Key Book is not accessible, access is denied.";

// Only the full deleted mark hides a record ("nnnova" begins like it); the
// numbers count deleted records; the stored texts are shown as stored; of two
// records of one name the first is shown, also after the book changed; a
// typed name is handed back with the number shown last.
TEST_F(KeysTest, DeletedRecordsAreHiddenButKeepTheirNumbers) {
  MasterKeyRecord twin = KeyRecord("other");
  twin.name = "dup";
  MakeBook(book, {KeyRecord("one"), std::nullopt, KeyRecord("dup"), KeyRecord("nnnova"), twin});
  modal.Then<CKeysDlg>([&](CKeysDlg& d) {
    EXPECT_EQ(d.windowTitle(), "shell_rux KEYS");
    d.RefreshOnRepaint();
    EXPECT_EQ(Entries(d), QStringList({"one", "dup", "nnnova", "dup"}));
    Pick(d, 2);
    EXPECT_EQ(Shown(d, {"keyNumber", "key2", "key10", "enlarge", "scramble"}),
              "4 nnnova-k2 nnnova-k10 5000000000 3250000000.01");
    EXPECT_FALSE(Child<QLineEdit>(&d, "key1")->isEnabled());
    Pick(d, 3);
    EXPECT_EQ(Shown(d, {"keyNumber", "key1"}), "3 dup-k1");
    MakeBook(book, {twin, KeyRecord("dup")});  // changed since it was listed
    Pick(d, 3);
    EXPECT_EQ(Shown(d, {"keyNumber", "key1"}), "1 other-k1");
    List(d)->lineEdit()->selectAll();
    QTest::keyClicks(List(d)->lineEdit(), "typed");
    d.accept();
  });
  EXPECT_EQ(RunKeys(book), Dialog::IDOK);
  EXPECT_EQ(returned, QStringList({Book(), "typed", "1"}));
  EXPECT_TRUE(prompts.All().empty());
}

// Without a book the buttons that need one do nothing; Browse, or NEW Key
// Book and then New, lead to one: the new book comes into being with its
// first Master Key.
TEST_F(KeysTest, WithoutABookOnlyBrowseOrNewKeyBookLeadToOne) {
  const std::string fresh = dir.File("fresh.dat");
  NamesBook(book, {"one", "two"});
  prompts.CancelPick().Pick(Book()).Pick(QString::fromStdString(fresh));
  modal.Then<CKeysDlg>([&](CKeysDlg& d) {
    EXPECT_FALSE(Child<QPushButton>(&d, "modify")->isEnabled());
    d.OnSearch();  // each opens nothing
    d.OnNew();
    d.OnModify();
    d.OnDelete();
    d.OnBrowse();  // cancelled
    Click(d, "browse");
    EXPECT_EQ(Entries(d), QStringList({"one", "two"}));
    EXPECT_TRUE(Child<QPushButton>(&d, "modify")->isEnabled());
    Click(d, "newKeyBook");
    d.RefreshOnRepaint();
    EXPECT_FALSE(Exists(fresh));
    Click(d, "new");
    EXPECT_EQ(Entries(d), QStringList({"first"}));
    d.accept();
  });
  modal.Then<CNewMasterKeyDlg>([](CNewMasterKeyDlg& d) {
    EXPECT_EQ(d.windowTitle(), "shell_rux NEW MASTER KEY");
    EXPECT_EQ(Shown(d, {"masterKeyName", "enlarge", "scramble", "key1"}), "NAME_MASTER_KEY 1 1 ");
    EXPECT_FALSE(Child<QLineEdit>(&d, "keyNumber")->isEnabled());
    Child<QLineEdit>(&d, "masterKeyName")->setText("first");
    d.accept();
  });
  RunKeys("");
  MasterKeyRecord first;
  first.name = "first";
  first.enlarge = first.scramble = 1;
  EXPECT_EQ(prompts.Boxes(), QStringList({"ERROR: No Master Key present.",
                                          "MODIFY: The Key Book: " + QString::fromStdString(fresh) +
                                              "\nhas been modified."}));
  for (int picker : {0, 2, 3}) EXPECT_EQ(prompts.All()[picker].initialName, "*.*");
  EXPECT_EQ(prompts.All()[3].picker, PickerKind::Save);
  EXPECT_TRUE(prompts.All()[3].overwritePrompt);
  EXPECT_EQ(ReadBytes(fresh), BytesOf(first));
  EXPECT_EQ(returned, QStringList({QString::fromStdString(fresh), "first", "1"}));
}

// New (cancelled, then done) stores in the first free slot and shows it;
// Modify is primed with the shown record, and its new name is listed.
TEST_F(KeysTest, NewTakesTheFirstFreeSlotAndModifyIsPrimedWithTheShownRecord) {
  NamesBook(book, {"one", nullptr, "nnnova"});
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    d.RefreshOnRepaint();
    d.OnNew();
    Pick(d, 1);
    d.OnNew();
    EXPECT_EQ(Entries(d), QStringList({"one", "added", "nnnova"}));
    EXPECT_EQ(List(d)->currentText(), "added");
    EXPECT_EQ(Shown(d, {"keyNumber", "key3", "scramble"}), "2 k3 1000000000.01");
    Pick(d, 2);
    Click(d, "modify");
    EXPECT_EQ(Entries(d), QStringList({"one", "added", "deux"}));
    EXPECT_EQ(Shown(d, {"keyNumber"}), "3");
    d.accept();
  });
  modal.Then<CNewMasterKeyDlg>([](CNewMasterKeyDlg& d) { d.reject(); });
  modal.Then<CNewMasterKeyDlg>([](CNewMasterKeyDlg& d) {
    EXPECT_EQ(Shown(d, {"keyNumber"}), "3");  // for orientation only
    Child<QLineEdit>(&d, "masterKeyName")->setText("added");
    Child<QLineEdit>(&d, "key3")->setText("k3");
    d.accept();
  });
  modal.Then<CModifyDlg>([&](CModifyDlg& d) {  // OK keeps every field it shows as it was
    EXPECT_EQ(d.windowTitle(), "shell_rux MODIFY");
    EXPECT_EQ(Shown(d, {"keyBook", "keyNumber", "key7", "enlarge", "scramble"}),
              Book() + " 3 nnnova-k7 5000000000 +3.250000000");
    List(d)->setEditText("deux");
    d.accept();
  });
  RunKeys(book);
  MasterKeyRecord added, deux = KeyRecord("nnnova");
  added.name = "added";
  added.keys[2] = "k3";
  added.enlarge = added.scramble = 1;
  deux.name = "deux";
  EXPECT_EQ(ReadBytes(book), BytesOf(KeyRecord("one")) + BytesOf(added) + BytesOf(deux));
  EXPECT_EQ(returned, QStringList({Book(), "deux", "3"}));
  const QString modified = "MODIFY: The Key Book: " + Book() + "\nhas been modified.";
  EXPECT_EQ(prompts.Boxes(),
            QStringList({modified, "SCRAMBLE: Scramble is: +3.250000000", modified}));
}

// Delete asks (Cancel says so), marks the slot, and every other record keeps
// its number; a number with no live record behind it (0, beyond the end, a
// deleted slot) is refused by Delete and Modify; a failed delete is never
// reported as done. Nothing reaches standard output, which the windowed
// program's desktop session keeps in its logs: the Key Book code's record
// listings go nowhere, as in the program, which installs no diagnostics.
TEST_F(KeysTest, DeleteAsksMarksTheSlotAndKeepsEveryNumber) {
  SetDiagnostics(nullptr);
  NamesBook(book, {"one", "two", "three", "four", "five"});
  const std::string aside = dir.File("aside.dat");
  prompts.onPrompt = [&](const Prompt& p) {  // at the third question a folder takes its place
    if (p.caption != "DELETE" || prompts.Captions().count("DELETE") < 3) return;
    std::filesystem::rename(book, aside);
    std::filesystem::create_directory(book);
  };
  prompts.Answer(Answer::Cancel).Answer(Answer::Ok).Answer(Answer::Ok);
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    d.RefreshOnRepaint();
    Pick(d, 0);
    d.OnDelete();
    Click(d, "modify");
    Pick(d, 2);
    Click(d, "delete");
    EXPECT_EQ(Entries(d), QStringList({"one", "two", "four", "five"}));
    for (int number : {0, 6, -1, 3}) {
      d.m_nKeyNumber = number;
      d.OnDelete();
      d.OnModify();  // opens no modify window
    }
    Pick(d, 3);
    EXPECT_EQ(Shown(d, {"keyNumber"}), "5");
    d.OnDelete();
    d.reject();
  });
  modal.Then<CModifyDlg>([](CModifyDlg& d) { d.accept(); });
  std::fflush(stdout);
  const int saved = ::dup(1), output = ::open(dir.File("out").c_str(), O_WRONLY | O_CREAT, 0600);
  ::dup2(output, 1);
  RunKeys(book);
  std::fflush(stdout);
  ::dup2(saved, 1);
  ::close(output);
  ::close(saved);
  EXPECT_EQ(ReadBytes(dir.File("out")), "");
  EXPECT_EQ(ReadBytes(aside), BytesOf(KeyRecord("one")) + BytesOf(KeyRecord("two")) +
                                  DeletedMark() + BytesOf(KeyRecord("four")) +
                                  BytesOf(KeyRecord("five")));
  const QString question =
      "DELETE: ATTENTION! Do you really want to delete The Master Key number: ";
  EXPECT_EQ(prompts.Boxes(),
            QStringList({question + "1", "CANCEL: The operation has been cancelled.",
                         "SCRAMBLE: Scramble is: +3.250000000",
                         "MODIFY: The Key Book: " + Book() + "\nhas been modified.", question + "3",
                         "DELETED: The Master Key has been successfully deleted."}) +
                QStringList(8, kNoKey) + QStringList({question + "5", kNotAccessible}));
}

// Paints the window and handles what painting queued; capped, so a refresh
// that keeps repainting shows up as a count, not a hang.
void Paint(CKeysDlg& d) {
  d.repaint();
  for (int i = 0; i < 20; ++i) QApplication::processEvents();
}

// The list appears at the first paint; a change made by another program, or
// a newly chosen book, shows at the next one; nothing is rebuilt or said
// while nothing changed, nor while the book cannot be read, until an entry
// is picked.
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

// One box per match, in file order, with its byte and record, across field
// ends; case counts; after every hundred boxes the user may stop. The Search
// button searches the text typed into the search window in the held book.
TEST_F(KeysTest, EachMatchIsOneBoxWithItsPlaceAndRecord) {
  MasterKeyRecord third = KeyRecord("c");
  third.keys[1] = "NEEDLE";
  third.keys[9] = "xxNEEDLExx";
  MakeBook(book, {KeyRecord("abc"), KeyRecord("b"), third});
  for (bool confirm : {false, true}) {
    modal.Then<CKeysDlg>([](CKeysDlg& d) {
      Click(d, "search");
      d.reject();
    });
    modal.Then<CSearchDlg>([confirm](CSearchDlg& d) {
      EXPECT_EQ(QStringList({d.windowTitle(), Child<QGroupBox>(&d, "searchGroup")->title(),
                             Child<QLabel>(&d, "searchLabel")->text()}),
                QStringList({"shell_rux SEARCH", "Searh on Key Book", "Text to Search..."}));
      QTest::keyClicks(Child<QLineEdit>(&d, "searchText"), "NEEDLE");
      confirm ? d.accept() : d.reject();
    });
    RunKeys(book);
  }
  const auto found = [this](int at) {
    return Book() +
           QString(": Found at: %1 registry location.%2").arg(at).arg(at / RECORD_SIZE + 1);
  };
  EXPECT_EQ(prompts.Boxes(), QStringList({found(2 * RECORD_SIZE + KeyOffset(2)),
                                          found(2 * RECORD_SIZE + KeyOffset(10) + 2)}));
  EXPECT_EQ(prompts.Messages()[0].icon, Icon::Exclamation);
  const auto search = [&](const QString& text) {
    prompts.Clear();
    SearchBook(nullptr, Book(), text);
    return prompts.Boxes();
  };
  EXPECT_EQ(search(QString::fromLatin1("abc\0_", 5)),
            QStringList({found(0)}));  // across a field end
  for (const QString& text :
       {QString("needle"), QString(4 * RECORD_SIZE, 'N'), QString::fromUtf8("\xE4\xB8\xAD")})
    EXPECT_TRUE(search(text).isEmpty())
        << text.size();  // case, longer than the book, not Windows-1252
  MasterKeyRecord q;     // its only "Q" is its name
  q.name = "Q";
  q.enlarge = q.scramble = 1;
  const QString more = Book() + ": More matches follow. Show them?";
  const struct {
    int records;
    std::vector<Answer> answers;
    int boxes;  // matches and questions
  } cases[] = {
      {100, {}, 100}, {101, {Answer::Cancel}, 101}, {201, {Answer::Ok, Answer::Cancel}, 202}};
  for (const auto& c : cases) {
    MakeBook(book, std::vector<std::optional<MasterKeyRecord>>(c.records, q));
    for (Answer answer : c.answers) prompts.Answer(answer);
    const QStringList boxes = search("Q");
    EXPECT_EQ(boxes.size(), c.boxes) << c.records;
    EXPECT_EQ(boxes.count(more), int(c.answers.size())) << c.records;
  }
  EXPECT_EQ(prompts.Boxes()[100], more);
  EXPECT_EQ(prompts.Boxes()[101], found(100 * RECORD_SIZE));
  prompts.Answer(Answer::Cancel);
  EXPECT_EQ(search("").size(), 101);  // the empty text matches every byte
}

}  // namespace
}  // namespace rux::test
