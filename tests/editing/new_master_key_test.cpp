// The new master key window, run as the key management window runs it.
#include "editing/new_master_key_dlg.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <QLineEdit>
#include <QTest>

#include <filesystem>

#include "editing/book_fixture.h"
#include "support/modal_script.h"
#include "support/scripted_prompts.h"
#include "support/widget_find.h"

namespace rux {
namespace {

using test::BytesOf;
using test::Child;
using test::KeyRecord;
using test::MakeBook;
using test::ReadBytes;
using test::RecordOf;

const QString kWarning =
    "Wrong number. Only numeric and  \" , \" \" . \"  characters allowed, try again.";

QString Modified(const std::string& path) {
  return "The Key Book: " + QString::fromStdString(path) + "\nhas been modified.";
}

class NewMasterKeyTest : public ::testing::Test {
 protected:
  // Runs the window on the book; the step types into it and ends it.
  int RunNew(const std::string& path, std::function<void(CNewMasterKeyDlg&)> step, int number = 0) {
    test::ModalScript modal;
    modal.Then<CNewMasterKeyDlg>(std::move(step));
    CNewMasterKeyDlg window;
    window.m_strKeyBook = QString::fromStdString(path);
    window.m_nKeyNumber = number;
    return window.DoModal();
  }
  int StoreNamed(const std::string& path, const QString& name) {
    return RunNew(path, [&](CNewMasterKeyDlg& d) {
      Child<QLineEdit>(&d, "masterKeyName")->setText(name);
      d.accept();
    });
  }

  test::QuietBook quiet;
  test::ScriptedPrompts prompts;
  test::TempDir dir;
  std::string book = dir.File("book.dat");
};

TEST_F(NewMasterKeyTest, OkAtOnceStoresTheDefaultRecordAndSaysSo) {
  test::WriteBytes(book, "");
  EXPECT_EQ(RunNew(book,
                   [](CNewMasterKeyDlg& d) {
                     EXPECT_EQ(d.windowTitle(), "shell_rux NEW MASTER KEY");
                     EXPECT_EQ(Child<QLineEdit>(&d, "masterKeyName")->text(), "NAME_MASTER_KEY");
                     EXPECT_EQ(Child<QLineEdit>(&d, "enlarge")->text(), "1");
                     EXPECT_EQ(Child<QLineEdit>(&d, "scramble")->text(), "1");
                     EXPECT_FALSE(Child<QLineEdit>(&d, "keyBook")->isEnabled());
                     EXPECT_FALSE(Child<QLineEdit>(&d, "keyNumber")->isEnabled());
                     d.accept();
                   }),
            Dialog::IDOK);
  MasterKeyRecord expected;
  expected.name = "NAME_MASTER_KEY";
  expected.enlarge = 1;
  expected.scramble = 1;
  EXPECT_EQ(ReadBytes(book), BytesOf(expected));
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0].text, Modified(book));
  EXPECT_EQ(prompts.Messages()[0].caption, "MODIFY");
  EXPECT_EQ(prompts.Messages()[0].icon, Icon::Exclamation);
}

TEST_F(NewMasterKeyTest, FreeSlotsAreReusedInOrderThenTheBookGrows) {
  MakeBook(book,
           {KeyRecord("one"), std::nullopt, KeyRecord("three"), std::nullopt, KeyRecord("five")});
  StoreNamed(book, "first");
  StoreNamed(book, "second");
  StoreNamed(book, "third");
  const std::string bytes = ReadBytes(book);
  ASSERT_EQ(bytes.size(), 6u * RECORD_SIZE);
  EXPECT_EQ(test::NameOf(RecordOf(bytes, 2)), "first");
  EXPECT_EQ(test::NameOf(RecordOf(bytes, 4)), "second");
  EXPECT_EQ(test::NameOf(RecordOf(bytes, 6)), "third");
  EXPECT_EQ(RecordOf(bytes, 5), BytesOf(KeyRecord("five")));
}

TEST_F(NewMasterKeyTest, ADeletedFirstRecordIsReused) {
  MakeBook(book, {std::nullopt, KeyRecord("two")});
  StoreNamed(book, "again");
  const std::string bytes = ReadBytes(book);
  EXPECT_EQ(bytes.size(), 2u * RECORD_SIZE);
  EXPECT_EQ(test::NameOf(RecordOf(bytes, 1)), "again");
}

TEST_F(NewMasterKeyTest, EachKeyIsStoredUnderItsOwnNumber) {
  RunNew(book, [](CNewMasterKeyDlg& d) {
    for (int n = 1; n <= 10; ++n) {
      QTest::keyClicks(Child<QLineEdit>(&d, QString("key%1").arg(n)), QString("typed%1").arg(n));
    }
    Child<QLineEdit>(&d, "enlarge")->setText("5");
    Child<QLineEdit>(&d, "scramble")->setText("3.25");
    Child<QLineEdit>(&d, "masterKeyName")->setText("keys");
    d.accept();
  });
  MasterKeyRecord expected;
  expected.name = "keys";
  for (int n = 1; n <= 10; ++n) expected.keys[n - 1] = "typed" + std::to_string(n);
  expected.enlarge = 5;
  expected.scramble = 3.25;
  EXPECT_EQ(ReadBytes(book), BytesOf(expected));
}

TEST_F(NewMasterKeyTest, TypingIsLimitedToWhatTheBookHolds) {
  RunNew(book, [](CNewMasterKeyDlg& d) {
    auto* name = Child<QLineEdit>(&d, "masterKeyName");
    name->clear();
    QTest::keyClicks(name, "abcdefghijklmnopqrstuvwxy");  // 25 letters
    EXPECT_EQ(name->text(), "abcdefghijklmnopqrs");
    auto* key = Child<QLineEdit>(&d, "key1");
    QTest::keyClicks(key, QString(70, 'k'));
    EXPECT_EQ(key->text(), QString(64, 'k'));
    auto* key2 = Child<QLineEdit>(&d, "key2");
    for (const QString& letter : {QString("a"), QString::fromUtf8("\xE4\xB8\xAD"),  // a, 中, ñ
                                  QString::fromUtf8("\xC3\xB1")}) {
      QTest::sendKeyEvent(QTest::Click, key2, Qt::Key_unknown, letter, Qt::NoModifier);
    }
    EXPECT_EQ(key2->text(), QString::fromUtf8("a\xC3\xB1"));
    d.reject();
  });
  EXPECT_FALSE(test::Exists(book));  // Cancel stores nothing
}

TEST_F(NewMasterKeyTest, EnlargeWarnsAtEachChangeUntilANumberStands) {
  RunNew(book, [&](CNewMasterKeyDlg& d) {
    auto* enlarge = Child<QLineEdit>(&d, "enlarge");
    enlarge->clear();
    QTest::keyClicks(enlarge, "25");
    EXPECT_TRUE(prompts.All().empty());
    enlarge->clear();
    QTest::keyClicks(enlarge, "-3");  // "-" and "-3" both warn
    EXPECT_EQ(prompts.Captions(), QStringList({"ENLARGE ERROR", "ENLARGE ERROR"}));
    EXPECT_EQ(prompts.MessageTexts(), QStringList({kWarning, kWarning}));
    enlarge->clear();
    prompts.Clear();
    QTest::keyClicks(enlarge, "0");
    QTest::keyClicks(enlarge, "5");  // "05" begins with 0
    enlarge->clear();
    QTest::keyClicks(enlarge, "7");
    EXPECT_EQ(prompts.Messages().size(), 2u);
    EXPECT_EQ(enlarge->text(), "7");  // the check never changes the text
    d.reject();
  });
}

TEST_F(NewMasterKeyTest, TheLiveWarningComesBeforeTheTypedTextShows) {
  RunNew(book, [&](CNewMasterKeyDlg& d) {
    auto* scramble = Child<QLineEdit>(&d, "scramble");
    bool fieldWasPainting = true;
    prompts.onPrompt = [&](const test::Prompt&) { fieldWasPainting = scramble->updatesEnabled(); };
    scramble->clear();
    QTest::keyClicks(scramble, "x");
    EXPECT_EQ(prompts.Captions(), QStringList({"SCRAMBLE ERROR"}));
    EXPECT_FALSE(fieldWasPainting);
    EXPECT_TRUE(scramble->updatesEnabled());
    d.reject();
  });
}

TEST_F(NewMasterKeyTest, EmptyOrInfiniteNumbersAreStoredAsZeroWithTheirMessages) {
  RunNew(book, [&](CNewMasterKeyDlg& d) {
    Child<QLineEdit>(&d, "enlarge")->clear();
    Child<QLineEdit>(&d, "scramble")->setText("1e400");  // warns at once: infinity
    d.accept();
  });
  EXPECT_EQ(prompts.MessageTexts(),
            QStringList({kWarning, "Attention! Error in the Enlarge Key conversion.",
                         "Attention! Error in the Scramble Key conversion.", Modified(book)}));
  EXPECT_EQ(prompts.Captions(), QStringList({"SCRAMBLE ERROR", "ERROR", "ERROR", "MODIFY"}));
  const std::string record = RecordOf(ReadBytes(book), 1);
  EXPECT_EQ(record.substr(ENLARGE_OFFSET), std::string("0\0", 2) + std::string(13, ',') +
                                               std::string("0\0", 2) + std::string(18, '-'));
}

// A failed write is never reported as success, and what was typed stays.
TEST_F(NewMasterKeyTest, ABookThatCannotBeWrittenIsReportedAndTheWindowStaysOpen) {
  test::WriteBytes(dir.File("plain"), "x");
  const std::string unreachable = dir.File("plain") + "/book.dat";  // its folder is a file
  bool stillOpen = false;
  EXPECT_EQ(RunNew(unreachable,
                   [&](CNewMasterKeyDlg& d) {
                     d.accept();
                     stillOpen = d.ModalResult() != Dialog::IDOK;
                     d.reject();
                   }),
            Dialog::IDCANCEL);
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(prompts.MessageTexts(),
            QStringList({"The Key Book is not accessible, access is denied."}));
  EXPECT_EQ(prompts.Captions(), QStringList({"ERROR"}));
  EXPECT_NE(quiet.Text().find(" Error no se ha abierto el fichero"), std::string::npos);
}

TEST_F(NewMasterKeyTest, AReadOnlyBookIsReportedAsNotAccessible) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop root";
  MakeBook(book, {KeyRecord("one")});
  std::filesystem::permissions(book, std::filesystem::perms::owner_read);
  StoreNamed(book, "two");
  EXPECT_EQ(prompts.Captions(), QStringList({"ERROR"}));
  EXPECT_EQ(ReadBytes(book), BytesOf(KeyRecord("one")));
}

}  // namespace
}  // namespace rux
