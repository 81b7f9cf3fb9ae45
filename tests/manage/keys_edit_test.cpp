// New, Modify and Delete from the key management window.
#include <unistd.h>

#include <filesystem>

#include "editing/modify_dlg.h"
#include "manage/keys_fixture.h"

namespace rux {
namespace {

using test::BytesOf;
using test::KeyRecord;
using test::MakeBook;
using test::ReadBytes;
using test::RecordOf;

class KeysEditTest : public test::KeysTest {
 protected:
  void MakeFive() {
    MakeBook(book, {KeyRecord("one"), KeyRecord("two"), KeyRecord("three"), KeyRecord("four"),
                    KeyRecord("five")});
  }
  const QString kAccessDenied = "The Key Book is not accessible, access is denied.";
};

TEST_F(KeysEditTest, DeletingRecordThreeOfFiveKeepsEveryNumber) {
  MakeFive();
  prompts.Answer(Answer::Ok);
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    d.RefreshOnRepaint();
    Pick(d, 2);
    test::Child<QPushButton>(&d, "delete")->click();
    EXPECT_EQ(Entries(d), QStringList({"one", "two", "four", "five"}));
    Pick(d, 2);
    EXPECT_EQ(Shown(d, "keyNumber"), "4");
    Pick(d, 3);
    EXPECT_EQ(Shown(d, "keyNumber"), "5");
    d.reject();
  });
  RunKeys(book);
  const std::string bytes = ReadBytes(book);
  EXPECT_EQ(bytes.size(), 5u * RECORD_SIZE);
  EXPECT_EQ(RecordOf(bytes, 3), DeletedMark());
  EXPECT_EQ(RecordOf(bytes, 4), BytesOf(KeyRecord("four")));
  const auto messages = prompts.Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text, "ATTENTION! Do you really want to delete The Master Key number: 3");
  EXPECT_EQ(messages[0].caption, "DELETE");
  EXPECT_EQ(messages[0].buttons, Buttons::OkCancel);
  EXPECT_EQ(messages[1].text, "The Master Key has been successfully deleted.");
  EXPECT_EQ(messages[1].caption, "DELETED");
  EXPECT_NE(quiet.Text().find("clave n_3 _: three"), std::string::npos);
}

TEST_F(KeysEditTest, DeleteActsOnTheNumberShownWhateverTheListSays) {
  MakeFive();
  prompts.Answer(Answer::Ok);
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    d.RefreshOnRepaint();
    Pick(d, 1);
    List(d)->setEditText("five");
    d.OnDelete();
    d.reject();
  });
  RunKeys(book);
  EXPECT_EQ(RecordOf(ReadBytes(book), 2), DeletedMark());
  EXPECT_EQ(RecordOf(ReadBytes(book), 5), BytesOf(KeyRecord("five")));
}

TEST_F(KeysEditTest, CancelledDeleteChangesNothing) {
  MakeFive();
  const std::string before = ReadBytes(book);
  prompts.Answer(Answer::Cancel);
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    d.RefreshOnRepaint();
    Pick(d, 0);
    d.OnDelete();
    EXPECT_EQ(Entries(d).size(), 5);
    d.reject();
  });
  RunKeys(book);
  EXPECT_EQ(ReadBytes(book), before);
  EXPECT_EQ(prompts.Captions(), QStringList({"DELETE", "CANCEL"}));
  EXPECT_EQ(prompts.MessageTexts().last(), "The operation has been cancelled.");
}

// Writing at such a number would fill the book with empty records.
TEST_F(KeysEditTest, DeleteOrModifyWithoutARecordBehindItsNumberIsRefused) {
  MakeFive();
  const std::string before = ReadBytes(book);
  for (int number : {0, 6, -1}) {
    modal.Then<CKeysDlg>([](CKeysDlg& d) {
      d.OnDelete();
      d.OnModify();  // opens no modify window
      d.reject();
    });
    RunKeys(book, "nosuch", number);
  }
  EXPECT_EQ(ReadBytes(book), before);
  EXPECT_EQ(prompts.MessageTexts(),
            QStringList(6, "No Master Key present, select one and try again."));
  EXPECT_EQ(prompts.Captions(), QStringList(6, "ERROR"));
}

// A failed deletion is never reported as success.
TEST_F(KeysEditTest, ADeleteThatCannotBeWrittenIsReported) {
  MakeFive();
  const std::string before = ReadBytes(book);
  const std::string aside = dir.File("aside.dat");
  // While the question is up, the book is moved away and a folder takes its place.
  prompts.onPrompt = [&](const test::Prompt& prompt) {
    if (prompt.caption != "DELETE") return;
    std::filesystem::rename(book, aside);
    std::filesystem::create_directory(book);
  };
  prompts.Answer(Answer::Ok);
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    d.RefreshOnRepaint();
    Pick(d, 2);
    d.OnDelete();
    d.reject();
  });
  RunKeys(book);
  EXPECT_EQ(prompts.Captions(), QStringList({"DELETE", "ERROR"}));
  EXPECT_EQ(prompts.MessageTexts().last(), kAccessDenied);
  EXPECT_EQ(ReadBytes(aside), before);
}

TEST_F(KeysEditTest, AReadOnlyBookIsNotReportedAsDeleted) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop root";
  MakeFive();
  std::filesystem::permissions(book, std::filesystem::perms::owner_read);
  prompts.Answer(Answer::Ok);
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    d.RefreshOnRepaint();
    Pick(d, 0);
    d.OnDelete();
    d.reject();
  });
  RunKeys(book);
  EXPECT_EQ(prompts.Captions(), QStringList({"DELETE", "ERROR"}));
}

TEST_F(KeysEditTest, ANewMasterKeyTakesTheFirstFreeSlotAndIsShown) {
  MakeBook(book, {KeyRecord("one"), std::nullopt, KeyRecord("three")});
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    d.RefreshOnRepaint();
    Pick(d, 1);
    d.OnNew();
    EXPECT_EQ(Entries(d), QStringList({"one", "added", "three"}));
    EXPECT_EQ(List(d)->currentText(), "added");
    EXPECT_EQ(Shown(d, "keyNumber"), "2");
    EXPECT_EQ(Shown(d, "key3"), "k3");
    EXPECT_EQ(Shown(d, "enlarge"), "1000000000");
    EXPECT_EQ(Shown(d, "scramble"), "1000000000.01");
    d.accept();
  });
  modal.Then<CNewMasterKeyDlg>([](CNewMasterKeyDlg& d) {
    EXPECT_EQ(test::Child<QLineEdit>(&d, "keyNumber")->text(), "3");  // for orientation only
    test::Child<QLineEdit>(&d, "masterKeyName")->setText("added");
    test::Child<QLineEdit>(&d, "key3")->setText("k3");
    d.accept();
  });
  RunKeys(book);
  EXPECT_EQ(returnedName, "added");
  EXPECT_EQ(returnedNumber, 2);
  EXPECT_EQ(ReadBytes(book).size(), 3u * RECORD_SIZE);
}

TEST_F(KeysEditTest, ACancelledNewStoresNothing) {
  MakeBook(book, {KeyRecord("one"), KeyRecord("two")});
  const std::string before = ReadBytes(book);
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    d.RefreshOnRepaint();
    Pick(d, 1);
    d.OnNew();
    EXPECT_EQ(Entries(d), QStringList({"one", "two"}));
    d.reject();
  });
  modal.Then<CNewMasterKeyDlg>([](CNewMasterKeyDlg& d) { d.reject(); });
  RunKeys(book);
  EXPECT_EQ(ReadBytes(book), before);
  EXPECT_TRUE(prompts.All().empty());
}

TEST_F(KeysEditTest, ModifyIsPrimedWithTheShownRecordAndItsNewNameIsListed) {
  MakeBook(book, {KeyRecord("one"), KeyRecord("two"), KeyRecord("three")});
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    d.RefreshOnRepaint();
    Pick(d, 1);
    test::Child<QPushButton>(&d, "modify")->click();
    EXPECT_EQ(Entries(d), QStringList({"one", "deux", "three"}));
    EXPECT_EQ(List(d)->currentText(), "deux");
    EXPECT_EQ(Shown(d, "keyNumber"), "2");
    d.accept();
  });
  modal.Then<CModifyDlg>([&](CModifyDlg& d) {
    EXPECT_EQ(Shown(d, "keyBook"), Book());
    EXPECT_EQ(Shown(d, "keyNumber"), "2");
    EXPECT_EQ(Shown(d, "key7"), "two-k7");
    EXPECT_EQ(Shown(d, "enlarge"), "5000000000");
    EXPECT_EQ(Shown(d, "scramble"), "+3.250000000");
    EXPECT_EQ(test::Child<QComboBox>(&d, "masterKeyName")->currentText(), "two");
    test::Child<QComboBox>(&d, "masterKeyName")->setEditText("deux");
    d.accept();
  });
  RunKeys(book);
  MasterKeyRecord expected = KeyRecord("two");
  expected.name = "deux";
  EXPECT_EQ(RecordOf(ReadBytes(book), 2), BytesOf(expected));
  EXPECT_EQ(returnedName, "deux");
  EXPECT_EQ(prompts.Captions(), QStringList({"SCRAMBLE", "MODIFY"}));
}

}  // namespace
}  // namespace rux
