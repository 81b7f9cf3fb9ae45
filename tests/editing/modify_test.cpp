// The modify window, primed as the key management window primes it: the
// record's stored texts as read by name.
#include "editing/modify_dlg.h"

#include <gtest/gtest.h>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>

#include "editing/book_fixture.h"
#include "platform/files/file_lock.h"
#include "support/modal_script.h"
#include "support/scripted_prompts.h"
#include "support/widget_find.h"

namespace rux {
namespace {

using test::Child;
using test::KeyRecord;
using test::MakeBook;
using test::ReadBytes;

const QString kAccessDenied = "The Key Book is not accessible, access is denied.";

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
    if (const Lookup found = FindByName(book, name); found.record) {
      for (int i = 0; i < 10; ++i)
        window.m_strKey[i] = QString::fromStdString(found.record->fields[i]);
      window.m_strEnlarge = QString::fromStdString(found.record->fields[10]);
      window.m_strScramble = QString::fromStdString(found.record->fields[11]);
    }
    return window.DoModal();
  }
  static QLineEdit* Field(CModifyDlg& d, const char* name) { return Child<QLineEdit>(&d, name); }

  test::CapturedDiagnostics quiet;
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
                          EXPECT_EQ(d.windowTitle(), "shell_rux MODIFY");
                          EXPECT_EQ(Field(d, "scramble")->text(), c.shown);
                          EXPECT_EQ(Field(d, "enlarge")->text(), "5000000000");
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

// Cancel then writes nothing and says nothing more.
TEST_F(ModifyTest, TheLiveWarningComesAfterTheTypedTextShows) {
  MakeBook(book, {KeyRecord("one")});
  const std::string before = ReadBytes(book);
  const int result = RunModify(1, "one", [&](CModifyDlg& d) {
    bool fieldWasPainting = false;
    prompts.onPrompt = [&](const test::Prompt&) {
      fieldWasPainting = Field(d, "scramble")->updatesEnabled();
    };
    Field(d, "scramble")->clear();
    QTest::keyClicks(Field(d, "scramble"), "0.5");  // "0" and "0." warn, "0.5" is a number
    QTest::keyClicks(Field(d, "enlarge"), "x");     // "5000000000x" is a number
    EXPECT_TRUE(fieldWasPainting);
    d.reject();
  });
  EXPECT_EQ(prompts.Captions(), QStringList({"SCRAMBLE", "SCRAMBLE ERROR", "SCRAMBLE ERROR"}));
  EXPECT_EQ(result, Dialog::IDCANCEL);
  EXPECT_EQ(ReadBytes(book), before);
}

// A failed write is never reported as success. What was typed stays when
// the book is replaced by a folder while the window is open, at Nr 0, and
// while another program holds the book; a record another program changed
// since it was loaded is left as it is and the window closes.
TEST_F(ModifyTest, AWriteThatCannotBeDoneIsReported) {
  const LockPatience impatient(std::chrono::milliseconds(0));
  int holder = -1;
  const struct {
    int number;
    std::function<void()> meanwhile;
    QString message;
    bool staysOpen;
    std::string after;  // the book's bytes afterwards, when it is still a book
  } cases[] = {
      {1,
       [&] {
         std::filesystem::remove(book);
         std::filesystem::create_directory(book);
       },
       kAccessDenied, true, ""},
      {0, [] {}, kAccessDenied, true, test::BytesOf(KeyRecord("one"))},
      {1,
       [&] {
         holder = ::open(book.c_str(), O_RDONLY | O_CLOEXEC);
         ::flock(holder, LOCK_SH);
       },
       "The Key Book is in use by another program, try again later.", true,
       test::BytesOf(KeyRecord("one"))},
      {1, [&] { WriteRecordAt(book, 1, KeyRecord("other")); },
       "The Master Key has been changed by another program, nothing was written.", false,
       test::BytesOf(KeyRecord("other"))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message.toStdString());
    MakeBook(book, {KeyRecord("one")});
    prompts.Clear();
    bool closed = false;
    bool open = false;
    EXPECT_EQ(RunModify(c.number, "one",
                        [&](CModifyDlg& d) {
                          QObject::connect(&d, &QDialog::finished, [&] { closed = true; });
                          c.meanwhile();
                          Field(d, "key1")->setText("typed");
                          d.accept();
                          open = !closed;
                          if (open) d.reject();
                        }),
              Dialog::IDCANCEL);
    EXPECT_EQ(open, c.staysOpen);
    EXPECT_EQ(prompts.Captions(), QStringList({"SCRAMBLE", "ERROR"}));
    EXPECT_EQ(prompts.MessageTexts().last(), c.message);
    if (!c.after.empty()) {
      EXPECT_EQ(ReadBytes(book), c.after);
    }
    if (holder >= 0) ::close(holder);
    holder = -1;
    std::filesystem::remove_all(book);
  }
}

}  // namespace
}  // namespace rux
