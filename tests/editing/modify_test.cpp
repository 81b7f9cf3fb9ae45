// The modify window, primed as the key management window primes it: the
// record's stored texts as read by name.
#include "editing/modify_dlg.h"

#include <gtest/gtest.h>
#include <QComboBox>
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

class ModifyTest : public ::testing::Test {
 protected:
  // Runs the window on record number of the book, primed with the stored
  // texts of the record named name.
  int RunModify(int number, const std::string& name, std::function<void(CModifyDlg&)> step) {
    test::ModalScript modal;
    modal.Then<CModifyDlg>(std::move(step));
    CModifyDlg window;
    window.m_strKeyBook = QString::fromStdString(book);
    window.m_nKeyNumber = number;
    window.m_strMasterKeyName = QString::fromStdString(name);
    const Lookup found = FindByName(book, name);
    if (found.record) {
      for (int i = 0; i < 10; ++i)
        window.m_strKey[i] = QString::fromStdString(found.record->fields[i]);
      window.m_strEnlarge = QString::fromStdString(found.record->fields[10]);
      window.m_strScramble = QString::fromStdString(found.record->fields[11]);
    }
    return window.DoModal();
  }

  test::QuietBook quiet;
  test::ScriptedPrompts prompts;
  test::TempDir dir;
  std::string book = dir.File("book.dat");
};

TEST_F(ModifyTest, OkWithoutEditsRewritesTheSameBytes) {
  const struct {
    double scramble;
    const char* shown;
  } cases[] = {{3.25, "+3.250000000"},       {0.5, "+.5000000000"},
               {0.05, "+.05000000000"},      {-2, "-2.000000000"},
               {3.25e12, "+3250000000000."}, {1e-12, "+.000000000001000000000"}};
  for (const auto& c : cases) {
    MakeBook(book, {KeyRecord("one"), KeyRecord("two", 5, c.scramble), KeyRecord("three")});
    const std::string before = ReadBytes(book);
    prompts.Clear();
    EXPECT_EQ(RunModify(2, "two",
                        [&](CModifyDlg& d) {
                          EXPECT_EQ(Child<QLineEdit>(&d, "scramble")->text(), c.shown);
                          EXPECT_EQ(Child<QLineEdit>(&d, "enlarge")->text(), "5000000000");
                          d.accept();
                        }),
              Dialog::IDOK);
    EXPECT_EQ(ReadBytes(book), before) << c.scramble;
    EXPECT_EQ(prompts.MessageTexts(), QStringList({QString("Scramble is: ") + c.shown,
                                                   "The Key Book: " + QString::fromStdString(book) +
                                                       "\nhas been modified."}));
    EXPECT_EQ(prompts.Captions(), QStringList({"SCRAMBLE", "MODIFY"}));
  }
}

TEST_F(ModifyTest, ANewNameIsStoredAtTheSameNumber) {
  MakeBook(book, {KeyRecord("one"), KeyRecord("two"), KeyRecord("three")});
  RunModify(2, "two", [](CModifyDlg& d) {
    EXPECT_EQ(d.windowTitle(), "shell_rux MODIFY");
    auto* name = Child<QComboBox>(&d, "masterKeyName");
    EXPECT_EQ(name->currentText(), "two");
    EXPECT_EQ(name->count(), 0);
    name->lineEdit()->selectAll();
    QTest::keyClicks(name->lineEdit(), "renamed");
    d.accept();
    EXPECT_EQ(d.m_strMasterKeyName, "renamed");
  });
  MasterKeyRecord expected = KeyRecord("two");
  expected.name = "renamed";
  const std::string bytes = ReadBytes(book);
  EXPECT_EQ(bytes.size(), 3u * RECORD_SIZE);
  EXPECT_EQ(RecordOf(bytes, 2), BytesOf(expected));
  EXPECT_EQ(RecordOf(bytes, 3), BytesOf(KeyRecord("three")));
}

TEST_F(ModifyTest, AClearedScrambleIsStoredAsZeroAfterItsMessage) {
  MakeBook(book, {KeyRecord("one")});
  RunModify(1, "one", [](CModifyDlg& d) {
    Child<QLineEdit>(&d, "scramble")->clear();
    d.accept();
  });
  EXPECT_EQ(prompts.Captions(), QStringList({"SCRAMBLE", "ERROR", "MODIFY"}));
  EXPECT_EQ(prompts.MessageTexts()[1], "Attention! Error in the Scramble Key conversion.");
  EXPECT_EQ(RecordOf(ReadBytes(book), 1).substr(SCRAMBLE_OFFSET),
            std::string("0\0", 2) + std::string(18, '-'));
}

TEST_F(ModifyTest, AnInfiniteEnlargeIsAConversionErrorStoredAsZero) {
  MakeBook(book, {KeyRecord("one")});
  RunModify(1, "one", [](CModifyDlg& d) {
    Child<QLineEdit>(&d, "enlarge")->setText("1e400");
    d.accept();
  });
  EXPECT_EQ(prompts.Captions(), QStringList({"SCRAMBLE", "ENLARGE ERROR", "ERROR", "MODIFY"}));
  EXPECT_EQ(prompts.MessageTexts()[2], "Attention! Error in the Enlarge Key conversion.");
  EXPECT_EQ(std::string(StoredText(RecordOf(ReadBytes(book), 1), ENLARGE_OFFSET)), "0");
}

TEST_F(ModifyTest, CancelWritesNothingAndSaysNothingMore) {
  MakeBook(book, {KeyRecord("one")});
  const std::string before = ReadBytes(book);
  EXPECT_EQ(RunModify(1, "one",
                      [](CModifyDlg& d) {
                        Child<QLineEdit>(&d, "key1")->setText("changed");
                        d.reject();
                      }),
            Dialog::IDCANCEL);
  EXPECT_EQ(ReadBytes(book), before);
  EXPECT_EQ(prompts.Captions(), QStringList({"SCRAMBLE"}));
}

TEST_F(ModifyTest, AMissingRecordKeepsTheCallersScrambleText) {
  MakeBook(book, {KeyRecord("one")});
  RunModify(4, "one", [](CModifyDlg& d) { d.reject(); });
  EXPECT_EQ(prompts.MessageTexts(), QStringList({"Scramble is: 3250000000.01"}));
  EXPECT_NE(quiet.Text().find("lo siento registro no existente; Repita la Operacion"),
            std::string::npos);
}

TEST_F(ModifyTest, TheLiveWarningComesAfterTheTypedTextShows) {
  MakeBook(book, {KeyRecord("one")});
  RunModify(1, "one", [&](CModifyDlg& d) {
    auto* scramble = Child<QLineEdit>(&d, "scramble");
    bool fieldWasPainting = false;
    prompts.onPrompt = [&](const test::Prompt&) { fieldWasPainting = scramble->updatesEnabled(); };
    scramble->clear();
    QTest::keyClicks(scramble, "0.5");                       // "0" and "0." warn, "0.5" is a number
    QTest::keyClicks(Child<QLineEdit>(&d, "enlarge"), "x");  // "5000000000x" is a number
    EXPECT_TRUE(fieldWasPainting);
    d.reject();
  });
  EXPECT_EQ(prompts.Captions(), QStringList({"SCRAMBLE", "SCRAMBLE ERROR", "SCRAMBLE ERROR"}));
}

// A failed write is never reported as success, and what was typed stays.
TEST_F(ModifyTest, ABookThatCannotBeWrittenIsReportedAndTheWindowStaysOpen) {
  MakeBook(book, {KeyRecord("one")});
  bool stillOpen = false;
  EXPECT_EQ(RunModify(1, "one",
                      [&](CModifyDlg& d) {
                        // The book is replaced by a folder while the window is open.
                        std::filesystem::remove(book);
                        std::filesystem::create_directory(book);
                        Child<QLineEdit>(&d, "key1")->setText("typed");
                        d.accept();
                        stillOpen = d.ModalResult() != Dialog::IDOK;
                        EXPECT_EQ(Child<QLineEdit>(&d, "key1")->text(), "typed");
                        d.reject();
                      }),
            Dialog::IDCANCEL);
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(prompts.Captions(), QStringList({"SCRAMBLE", "ERROR"}));
  EXPECT_EQ(prompts.MessageTexts().last(), "The Key Book is not accessible, access is denied.");
}

TEST_F(ModifyTest, NumberZeroWritesNothingAndIsReported) {
  MakeBook(book, {KeyRecord("one")});
  const std::string before = ReadBytes(book);
  RunModify(0, "one", [](CModifyDlg& d) {
    d.accept();
    d.reject();
  });
  EXPECT_EQ(ReadBytes(book), before);
  EXPECT_EQ(prompts.MessageTexts().last(), "The Key Book is not accessible, access is denied.");
}

}  // namespace
}  // namespace rux
