// Listing a Key Book in the key management window and showing the picked record.
#include <filesystem>

#include "manage/keys_fixture.h"

namespace rux {
namespace {

using test::KeyRecord;
using test::MakeBook;

class KeysListTest : public test::KeysTest {};

TEST_F(KeysListTest, DeletedRecordsAreHiddenButKeepTheirNumbers) {
  MakeBook(book, {KeyRecord("one"), std::nullopt, KeyRecord("three"), KeyRecord("four"),
                  KeyRecord("five")});
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    EXPECT_EQ(d.windowTitle(), "shell_rux KEYS");
    d.RefreshOnRepaint();
    EXPECT_EQ(Entries(d), QStringList({"one", "three", "four", "five"}));
    Pick(d, 3);
    EXPECT_EQ(Shown(d, "keyNumber"), "5");
    EXPECT_EQ(Shown(d, "key1"), "five-k1");
    EXPECT_EQ(Shown(d, "key10"), "five-k10");
    EXPECT_EQ(Shown(d, "enlarge"), "5000000000");
    EXPECT_EQ(Shown(d, "scramble"), "3250000000.01");
    for (const char* field : {"keyNumber", "key1", "enlarge", "scramble"}) {
      EXPECT_FALSE(test::Child<QLineEdit>(&d, field)->isEnabled()) << field;
    }
    d.accept();
  });
  EXPECT_EQ(RunKeys(book), Dialog::IDOK);
  EXPECT_EQ(returnedName, "five");
  EXPECT_EQ(returnedNumber, 5);
  EXPECT_EQ(returnedBook, Book());
  EXPECT_TRUE(prompts.All().empty());
}

TEST_F(KeysListTest, OfTwoRecordsWithOneNameTheFirstIsShown) {
  MasterKeyRecord second = KeyRecord("other");
  second.name = "dup";
  MakeBook(book, {KeyRecord("dup"), KeyRecord("x"), second});
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    d.RefreshOnRepaint();
    EXPECT_EQ(Entries(d), QStringList({"dup", "x", "dup"}));
    Pick(d, 2);
    EXPECT_EQ(Shown(d, "keyNumber"), "1");
    EXPECT_EQ(Shown(d, "key1"), "dup-k1");
    d.reject();
  });
  RunKeys(book);
}

TEST_F(KeysListTest, ANameBeginningWithThreeLettersNIsAnOrdinaryRecord) {
  MakeBook(book, {std::nullopt, KeyRecord("nnnova")});
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    d.RefreshOnRepaint();
    EXPECT_EQ(Entries(d), QStringList({"nnnova"}));
    Pick(d, 0);
    EXPECT_EQ(Shown(d, "keyNumber"), "2");
    EXPECT_EQ(Shown(d, "key2"), "nnnova-k2");
    d.reject();
  });
  RunKeys(book);
}

TEST_F(KeysListTest, TheOpenersChoiceIsSelectedAtTheFirstRepaint) {
  MakeBook(book, {KeyRecord("one"), KeyRecord("two"), KeyRecord("three")});
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    EXPECT_EQ(List(d)->count(), 0);  // nothing is read before the window is painted
    d.RefreshOnRepaint();
    EXPECT_EQ(List(d)->currentIndex(), 2);
    EXPECT_EQ(Shown(d, "keyNumber"), "3");
    EXPECT_EQ(Shown(d, "key4"), "three-k4");
    d.reject();
  });
  EXPECT_EQ(RunKeys(book, "three", 1), Dialog::IDCANCEL);
}

TEST_F(KeysListTest, ATypedNameIsHandedBackWithTheNumberShownLast) {
  MakeBook(book, {KeyRecord("one"), KeyRecord("two")});
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    d.RefreshOnRepaint();
    Pick(d, 1);
    List(d)->lineEdit()->selectAll();
    QTest::keyClicks(List(d)->lineEdit(), "typed");
    d.accept();
  });
  RunKeys(book);
  EXPECT_EQ(returnedName, "typed");
  EXPECT_EQ(returnedNumber, 2);
}

TEST_F(KeysListTest, WithoutABookEachTypedChangeSaysSo) {
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    d.RefreshOnRepaint();  // nothing to do
    QTest::keyClicks(test::Child<QLineEdit>(&d, "keyBook"), "ab");
    EXPECT_TRUE(d.m_strKeyBook.isEmpty());
    d.reject();
  });
  RunKeys("");
  EXPECT_EQ(prompts.MessageTexts(),
            QStringList({"No Master Key present.", "No Master Key present."}));
  EXPECT_EQ(prompts.Captions(), QStringList({"ERROR", "ERROR"}));
}

TEST_F(KeysListTest, BrowseListsThePickedBook) {
  MakeBook(book, {KeyRecord("one"), KeyRecord("two")});
  prompts.Pick(Book()).CancelPick();
  modal.Then<CKeysDlg>([&](CKeysDlg& d) {
    test::Child<QPushButton>(&d, "browse")->click();
    EXPECT_EQ(Shown(d, "keyBook"), Book());
    EXPECT_EQ(Entries(d), QStringList({"one", "two"}));
    for (const char* name : {"ok", "search", "new", "delete", "modify"}) {
      EXPECT_TRUE(test::Child<QPushButton>(&d, name)->isEnabled()) << name;
    }
    // Cancelling the picker lists the held book again.
    MakeBook(book, {KeyRecord("one"), KeyRecord("two"), KeyRecord("three")});
    d.OnBrowse();
    EXPECT_EQ(Entries(d), QStringList({"one", "two", "three"}));
    d.accept();
  });
  RunKeys("");
  EXPECT_EQ(returnedBook, Book());
  ASSERT_EQ(prompts.All().size(), 2u);
  EXPECT_EQ(prompts.All()[0].picker, PickerKind::Open);
  EXPECT_EQ(prompts.All()[0].initialName, "*.*");
  EXPECT_TRUE(prompts.Messages().empty());
}

TEST_F(KeysListTest, BrowseCancelledWithoutABookSaysThereIsNone) {
  prompts.CancelPick();
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    d.OnBrowse();
    d.reject();
  });
  RunKeys("");
  EXPECT_EQ(prompts.MessageTexts(), QStringList({"No Master Key present."}));
}

TEST_F(KeysListTest, ANewKeyBookComesIntoBeingWithItsFirstMasterKey) {
  const std::string fresh = dir.File("fresh.dat");
  prompts.Pick(QString::fromStdString(fresh));
  modal.Then<CKeysDlg>([&](CKeysDlg& d) {
    test::Child<QPushButton>(&d, "newKeyBook")->click();
    d.RefreshOnRepaint();
    EXPECT_FALSE(test::Exists(fresh));
    EXPECT_EQ(Entries(d), QStringList());
    test::Child<QPushButton>(&d, "new")->click();
    EXPECT_EQ(Entries(d), QStringList({"first"}));
    EXPECT_EQ(Shown(d, "keyNumber"), "1");
    d.accept();
  });
  modal.Then<CNewMasterKeyDlg>([](CNewMasterKeyDlg& d) {
    test::Child<QLineEdit>(&d, "masterKeyName")->setText("first");
    d.accept();
  });
  RunKeys("");
  EXPECT_EQ(prompts.All()[0].picker, PickerKind::Save);
  EXPECT_TRUE(prompts.All()[0].overwritePrompt);
  EXPECT_EQ(prompts.Captions(), QStringList({"MODIFY"}));
  EXPECT_EQ(test::ReadBytes(fresh).size(), std::size_t(RECORD_SIZE));
  EXPECT_EQ(returnedBook, QString::fromStdString(fresh));
  EXPECT_EQ(returnedName, "first");
  EXPECT_EQ(returnedNumber, 1);
}

TEST_F(KeysListTest, ABookThatCannotBeReadIsReportedWhenAnEntryIsPicked) {
  MakeBook(book, {KeyRecord("one"), KeyRecord("two")});
  modal.Then<CKeysDlg>([&](CKeysDlg& d) {
    d.RefreshOnRepaint();
    std::filesystem::remove(book);
    std::filesystem::create_directory(book);
    Pick(d, 1);
    EXPECT_EQ(Shown(d, "keyNumber"), "0");
    d.reject();
  });
  RunKeys(book);
  EXPECT_EQ(prompts.MessageTexts(),
            QStringList({"The Key Book is not accessible, access is denied."}));
  EXPECT_EQ(prompts.Captions(), QStringList({"ERROR"}));
}

}  // namespace
}  // namespace rux
