// Listing, New, Modify and Delete in the key management window.
#include <filesystem>

#include "editing/modify_dlg.h"
#include "editing/new_master_key_dlg.h"
#include "manage/keys_fixture.h"

namespace rux {
namespace {

using test::BytesOf;
using test::Child;
using test::KeyRecord;
using test::MakeBook;
using test::ReadBytes;
using test::RecordOf;

class KeysDlgTest : public test::KeysTest {
 protected:
  // "nnnova" begins like the deleted mark and is an ordinary record.
  void MakeFive() {
    MakeBook(book, {KeyRecord("one"), KeyRecord("two"), KeyRecord("nnnova"), KeyRecord("four"),
                    KeyRecord("five")});
  }
};

TEST_F(KeysDlgTest, DeletedRecordsAreHiddenButKeepTheirNumbers) {
  MakeBook(book, {KeyRecord("one"), std::nullopt, KeyRecord("three"), KeyRecord("nnnova"),
                  KeyRecord("five")});
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    EXPECT_EQ(d.windowTitle(), "shell_rux KEYS");
    d.RefreshOnRepaint();
    EXPECT_EQ(Entries(d), QStringList({"one", "three", "nnnova", "five"}));
    Pick(d, 2);
    EXPECT_EQ(Shown(d, {"keyNumber", "key2"}), QStringList({"4", "nnnova-k2"}));
    Pick(d, 3);
    EXPECT_EQ(Shown(d, {"keyNumber", "key10", "enlarge", "scramble"}),
              QStringList({"5", "five-k10", "5000000000", "3250000000.01"}));
    EXPECT_FALSE(Child<QLineEdit>(&d, "key1")->isEnabled());
    d.accept();
  });
  EXPECT_EQ(RunKeys(book), Dialog::IDOK);
  EXPECT_EQ(returned, QStringList({Book(), "five", "5"}));
  EXPECT_TRUE(prompts.All().empty());
}

// Of two records with one name the first is shown; a typed name is handed
// back with the number shown last.
TEST_F(KeysDlgTest, DuplicateAndTypedNames) {
  MasterKeyRecord second = KeyRecord("other");
  second.name = "dup";
  MakeBook(book, {KeyRecord("x"), KeyRecord("dup"), second});
  modal.Then<CKeysDlg>([&](CKeysDlg& d) {
    d.RefreshOnRepaint();
    EXPECT_EQ(Entries(d), QStringList({"x", "dup", "dup"}));
    Pick(d, 2);
    EXPECT_EQ(Shown(d, {"keyNumber", "key1"}), QStringList({"2", "dup-k1"}));
    MakeBook(book, {second, KeyRecord("x"), KeyRecord("dup")});  // changed since it was listed
    Pick(d, 2);
    EXPECT_EQ(Shown(d, {"keyNumber", "key1"}), QStringList({"1", "other-k1"}));
    List(d)->lineEdit()->selectAll();
    QTest::keyClicks(List(d)->lineEdit(), "typed");
    d.accept();
  });
  RunKeys(book);
  EXPECT_EQ(returned, QStringList({Book(), "typed", "1"}));
}

TEST_F(KeysDlgTest, WithoutABookOnlyBrowseLeadsToOne) {
  prompts.CancelPick().Pick(Book());
  modal.Then<CKeysDlg>([&](CKeysDlg& d) {
    EXPECT_FALSE(Button(d, "modify")->isEnabled());
    d.OnSearch();  // opens nothing
    d.OnBrowse();  // cancelled
    MakeBook(book, {KeyRecord("one"), KeyRecord("two")});
    Button(d, "browse")->click();
    EXPECT_EQ(Entries(d), QStringList({"one", "two"}));
    EXPECT_TRUE(Button(d, "modify")->isEnabled());
    d.accept();
  });
  RunKeys("");
  EXPECT_EQ(prompts.MessageTexts(), QStringList({"No Master Key present."}));
  EXPECT_EQ(prompts.All().back().initialName, "*.*");
  EXPECT_EQ(modal.Titles(), QStringList({"shell_rux KEYS"}));
  EXPECT_EQ(returned[0], Book());
}

TEST_F(KeysDlgTest, ANewKeyBookComesIntoBeingWithItsFirstMasterKey) {
  const std::string fresh = dir.File("fresh.dat");
  prompts.Pick(QString::fromStdString(fresh));
  modal.Then<CKeysDlg>([&](CKeysDlg& d) {
    Button(d, "newKeyBook")->click();
    d.RefreshOnRepaint();
    EXPECT_FALSE(test::Exists(fresh));
    Button(d, "new")->click();
    EXPECT_EQ(Entries(d), QStringList({"first"}));
    d.accept();
  });
  modal.Then<CNewMasterKeyDlg>([](CNewMasterKeyDlg& d) {
    Child<QLineEdit>(&d, "masterKeyName")->setText("first");
    d.accept();
  });
  RunKeys("");
  EXPECT_EQ(prompts.All()[0].picker, PickerKind::Save);
  EXPECT_TRUE(prompts.All()[0].overwritePrompt);
  EXPECT_EQ(test::ReadBytes(fresh).size(), std::size_t(RECORD_SIZE));
  EXPECT_EQ(returned, QStringList({QString::fromStdString(fresh), "first", "1"}));
}

TEST_F(KeysDlgTest, ANewMasterKeyTakesTheFirstFreeSlotAndIsShown) {
  MakeBook(book, {KeyRecord("one"), std::nullopt, KeyRecord("three")});
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    d.RefreshOnRepaint();
    d.OnNew();  // cancelled
    EXPECT_EQ(Entries(d), QStringList({"one", "three"}));
    Pick(d, 1);
    d.OnNew();
    EXPECT_EQ(Entries(d), QStringList({"one", "added", "three"}));
    EXPECT_EQ(List(d)->currentText(), "added");
    EXPECT_EQ(Shown(d, {"keyNumber", "key3", "scramble"}),
              QStringList({"2", "k3", "1000000000.01"}));
    d.accept();
  });
  modal.Then<CNewMasterKeyDlg>([](CNewMasterKeyDlg& d) { d.reject(); });
  modal.Then<CNewMasterKeyDlg>([](CNewMasterKeyDlg& d) {
    EXPECT_EQ(Shown(d, "keyNumber"), "3");  // for orientation only
    Child<QLineEdit>(&d, "masterKeyName")->setText("added");
    Child<QLineEdit>(&d, "key3")->setText("k3");
    d.accept();
  });
  RunKeys(book);
  EXPECT_EQ(returned, QStringList({Book(), "added", "2"}));
  EXPECT_EQ(ReadBytes(book).size(), 3u * RECORD_SIZE);
  EXPECT_EQ(prompts.Captions(), QStringList({"MODIFY"}));
}

TEST_F(KeysDlgTest, ModifyIsPrimedWithTheShownRecordAndItsNewNameIsListed) {
  MakeBook(book, {KeyRecord("one"), KeyRecord("nnnova"), KeyRecord("three")});
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    d.RefreshOnRepaint();
    Pick(d, 1);
    Button(d, "modify")->click();
    EXPECT_EQ(Entries(d), QStringList({"one", "deux", "three"}));
    EXPECT_EQ(Shown(d, "keyNumber"), "2");
    d.accept();
  });
  modal.Then<CModifyDlg>([&](CModifyDlg& d) {
    EXPECT_EQ(Shown(d, {"keyBook", "keyNumber", "key7", "scramble"}),
              QStringList({Book(), "2", "nnnova-k7", "+3.250000000"}));
    Child<QComboBox>(&d, "masterKeyName")->setEditText("deux");
    d.accept();
  });
  RunKeys(book);
  MasterKeyRecord expected = KeyRecord("nnnova");
  expected.name = "deux";
  EXPECT_EQ(RecordOf(ReadBytes(book), 2), BytesOf(expected));
  EXPECT_EQ(returned[1], "deux");
}

// Cancelled, done, then failing: a failed delete is never reported as done.
TEST_F(KeysDlgTest, DeletingRecordThreeOfFiveKeepsEveryNumber) {
  MakeFive();
  const std::string aside = dir.File("aside.dat");
  // At the third question the book is moved away and a folder takes its place.
  prompts.onPrompt = [&](const test::Prompt& prompt) {
    if (prompt.caption != "DELETE" || prompts.Captions().size() < 4) return;
    std::filesystem::rename(book, aside);
    std::filesystem::create_directory(book);
  };
  prompts.Answer(Answer::Cancel).Answer(Answer::Ok).Answer(Answer::Ok);
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    d.RefreshOnRepaint();
    Pick(d, 0);
    d.OnDelete();
    EXPECT_EQ(Entries(d).size(), 5);
    Pick(d, 2);
    Button(d, "delete")->click();
    EXPECT_EQ(Entries(d), QStringList({"one", "two", "four", "five"}));
    Pick(d, 3);
    EXPECT_EQ(Shown(d, "keyNumber"), "5");
    d.OnDelete();
    d.reject();
  });
  RunKeys(book);
  const std::string bytes = ReadBytes(aside);
  EXPECT_EQ(bytes.size(), 5u * RECORD_SIZE);
  EXPECT_EQ(RecordOf(bytes, 1), BytesOf(KeyRecord("one")));
  EXPECT_EQ(RecordOf(bytes, 3), DeletedMark());
  EXPECT_EQ(RecordOf(bytes, 4), BytesOf(KeyRecord("four")));
  EXPECT_EQ(RecordOf(bytes, 5), BytesOf(KeyRecord("five")));
  const QString question = "ATTENTION! Do you really want to delete The Master Key number: ";
  EXPECT_EQ(prompts.MessageTexts(),
            QStringList({question + "1", "The operation has been cancelled.", question + "3",
                         "The Master Key has been successfully deleted.", question + "5",
                         "The Key Book is not accessible, access is denied."}));
  EXPECT_EQ(prompts.Captions(),
            QStringList({"DELETE", "CANCEL", "DELETE", "DELETED", "DELETE", "ERROR"}));
  EXPECT_EQ(prompts.Messages()[0].buttons, Buttons::OkCancel);
  EXPECT_NE(quiet.Text().find("clave n_3 _: nnnova"), std::string::npos);
}

// Writing at such a number would fill the book with empty records, or bring
// a deleted slot back as a record with an empty name.
TEST_F(KeysDlgTest, DeleteOrModifyWithoutALiveRecordBehindItsNumberIsRefused) {
  MakeFive();
  ASSERT_EQ(MarkDeleted(book, 2), WriteResult::Written);
  const std::string before = ReadBytes(book);
  for (int number : {0, 6, -1, 2}) {
    modal.Then<CKeysDlg>([](CKeysDlg& d) {
      d.OnDelete();
      d.OnModify();  // opens no modify window
      d.reject();
    });
    RunKeys(book, "nosuch", number);
  }
  EXPECT_EQ(ReadBytes(book), before);
  EXPECT_EQ(prompts.MessageTexts(),
            QStringList(8, "No Master Key present, select one and try again."));
  EXPECT_EQ(prompts.Captions(), QStringList(8, "ERROR"));
}

}  // namespace
}  // namespace rux
