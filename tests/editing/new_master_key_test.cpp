// The new master key window, run as the key management window runs it.
#include "editing/new_master_key_dlg.h"

#include <gtest/gtest.h>
#include <QLineEdit>
#include <QTest>

#include "editing/book_fixture.h"
#include "support/modal_script.h"
#include "support/scripted_prompts.h"
#include "support/widget_find.h"

namespace rux {
namespace {

using test::BytesOf;
using test::KeyRecord;
using test::MakeBook;
using test::ReadBytes;
using test::RecordOf;

const QString kWarning =
    "Wrong number. Only numeric and  \" , \" \" . \"  characters allowed, try again.";

class NewMasterKeyTest : public ::testing::Test {
 protected:
  // Runs the window on the book; the step types into it and ends it.
  int RunNew(const std::string& path, std::function<void(CNewMasterKeyDlg&)> step) {
    test::ModalScript modal;
    modal.Then<CNewMasterKeyDlg>(std::move(step));
    CNewMasterKeyDlg window;
    window.m_strKeyBook = QString::fromStdString(path);
    return window.DoModal();
  }
  static QLineEdit* Field(CNewMasterKeyDlg& d, const QString& name) {
    return test::Child<QLineEdit>(&d, name);
  }
  QString Modified() const {
    return "The Key Book: " + QString::fromStdString(book) + "\nhas been modified.";
  }

  test::CapturedDiagnostics quiet;
  test::ScriptedPrompts prompts;
  test::TempDir dir;
  std::string book = dir.File("book.dat");
};

TEST_F(NewMasterKeyTest, OkAtOnceStoresTheDefaultRecordAndSaysSo) {
  test::WriteBytes(book, "");
  EXPECT_EQ(RunNew(book,
                   [](CNewMasterKeyDlg& d) {
                     EXPECT_EQ(d.windowTitle(), "shell_rux NEW MASTER KEY");
                     EXPECT_EQ(Field(d, "masterKeyName")->text(), "NAME_MASTER_KEY");
                     EXPECT_EQ(Field(d, "enlarge")->text(), "1");
                     EXPECT_EQ(Field(d, "scramble")->text(), "1");
                     EXPECT_FALSE(Field(d, "keyNumber")->isEnabled());
                     d.accept();
                   }),
            Dialog::IDOK);
  MasterKeyRecord expected;
  expected.name = "NAME_MASTER_KEY";
  expected.enlarge = expected.scramble = 1;
  EXPECT_EQ(ReadBytes(book), BytesOf(expected));
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0].text, Modified());
  EXPECT_EQ(prompts.Messages()[0].caption, "MODIFY");
  EXPECT_EQ(prompts.Messages()[0].icon, Icon::Exclamation);
}

// Deleted slots are reused first to last, a deleted first record too; then
// the book grows. Each typed key is stored under its own number.
TEST_F(NewMasterKeyTest, FreeSlotsAreReusedInOrderThenTheBookGrows) {
  MakeBook(book, {std::nullopt, KeyRecord("two"), std::nullopt, KeyRecord("four")});
  for (const char* name : {"first", "second", "third"}) {
    RunNew(book, [&](CNewMasterKeyDlg& d) {
      for (int n = 1; n <= 10; ++n)
        Field(d, QString("key%1").arg(n))->setText(QString("%1-k%2").arg(name).arg(n));
      Field(d, "enlarge")->setText("5");
      Field(d, "scramble")->setText("3.25");
      Field(d, "masterKeyName")->setText(name);
      d.accept();
    });
  }
  const std::string bytes = ReadBytes(book);
  ASSERT_EQ(bytes.size(), 5u * RECORD_SIZE);
  const std::string expected[] = {"first", "two", "second", "four", "third"};
  for (int n = 1; n <= 5; ++n)
    EXPECT_EQ(RecordOf(bytes, n), BytesOf(KeyRecord(expected[n - 1]))) << n;
}

TEST_F(NewMasterKeyTest, TypingIsLimitedToWhatTheBookHolds) {
  RunNew(book, [](CNewMasterKeyDlg& d) {
    Field(d, "masterKeyName")->clear();
    QTest::keyClicks(Field(d, "masterKeyName"), "abcdefghijklmnopqrstuvwxy");  // 25 letters
    EXPECT_EQ(Field(d, "masterKeyName")->text(), "abcdefghijklmnopqrs");
    QTest::keyClicks(Field(d, "key1"), QString(70, 'k'));
    EXPECT_EQ(Field(d, "key1")->text(), QString(64, 'k'));
    for (const char* letter : {"a", "\xE4\xB8\xAD", "\xC3\xB1"})  // a, 中, ñ
      QTest::sendKeyEvent(QTest::Click, Field(d, "key2"), Qt::Key_unknown,
                          QString::fromUtf8(letter), Qt::NoModifier);
    EXPECT_EQ(Field(d, "key2")->text(), QString::fromUtf8("a\xC3\xB1"));
    d.reject();
  });
  EXPECT_FALSE(test::Exists(book));  // Cancel stores nothing
}

// Each keystroke is checked before its text shows.
TEST_F(NewMasterKeyTest, EnlargeWarnsAtEachChangeUntilANumberStands) {
  const struct {
    const char* typed;
    int warnings;
  } cases[] = {{"25", 0}, {"-3", 2}, {"05", 2}, {"7", 0}, {"x", 1}};  // "05" begins with 0
  RunNew(book, [&](CNewMasterKeyDlg& d) {
    bool fieldWasPainting = true;
    prompts.onPrompt = [&](const test::Prompt&) {
      fieldWasPainting = Field(d, "enlarge")->updatesEnabled();
    };
    for (const auto& c : cases) {
      prompts.Clear();
      Field(d, "enlarge")->clear();
      QTest::keyClicks(Field(d, "enlarge"), c.typed);
      EXPECT_EQ(prompts.MessageTexts(), QStringList(c.warnings, kWarning)) << c.typed;
      EXPECT_EQ(prompts.Captions(), QStringList(c.warnings, "ENLARGE ERROR")) << c.typed;
      EXPECT_EQ(Field(d, "enlarge")->text(), c.typed);  // the check never changes the text
    }
    EXPECT_FALSE(fieldWasPainting);
    EXPECT_TRUE(Field(d, "enlarge")->updatesEnabled());
    d.reject();
  });
}

TEST_F(NewMasterKeyTest, EmptyOrInfiniteNumbersAreStoredAsZeroWithTheirMessages) {
  RunNew(book, [&](CNewMasterKeyDlg& d) {
    Field(d, "enlarge")->clear();
    Field(d, "scramble")->setText("1e400");  // warns at once: infinity
    d.accept();
  });
  EXPECT_EQ(prompts.MessageTexts(),
            QStringList({kWarning, "Attention! Error in the Enlarge Key conversion.",
                         "Attention! Error in the Scramble Key conversion.", Modified()}));
  EXPECT_EQ(prompts.Captions(), QStringList({"SCRAMBLE ERROR", "ERROR", "ERROR", "MODIFY"}));
  EXPECT_EQ(
      RecordOf(ReadBytes(book), 1).substr(ENLARGE_OFFSET),
      std::string("0\0", 2) + std::string(13, ',') + std::string("0\0", 2) + std::string(18, '-'));
}

// A failed write is never reported as success, and what was typed stays.
TEST_F(NewMasterKeyTest, ABookThatCannotBeWrittenIsReportedAndTheWindowStaysOpen) {
  test::WriteBytes(dir.File("plain"), "x");
  bool stillOpen = false;
  EXPECT_EQ(RunNew(dir.File("plain") + "/book.dat",  // its folder is a file
                   [&](CNewMasterKeyDlg& d) {
                     Field(d, "key1")->setText("typed");
                     d.accept();
                     stillOpen = d.ModalResult() != Dialog::IDOK;
                     EXPECT_EQ(Field(d, "key1")->text(), "typed");
                     d.reject();
                   }),
            Dialog::IDCANCEL);
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(prompts.MessageTexts(),
            QStringList({"The Key Book is not accessible, access is denied."}));
  EXPECT_EQ(prompts.Captions(), QStringList({"ERROR"}));
  EXPECT_NE(quiet.Text().find(" Error no se ha abierto el fichero"), std::string::npos);
}

}  // namespace
}  // namespace rux
