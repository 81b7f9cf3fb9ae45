// The new master key window and the modify window, run as the key management
// window runs them: what they store, show and say.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <QLineEdit>
#include <QTest>
#include <filesystem>

#include <gtest/gtest.h>

#include "editing/book_fixture.h"
#include "editing/modify_dlg.h"
#include "editing/new_master_key_dlg.h"
#include "platform/files/file_lock.h"
#include "support/modal_script.h"
#include "support/scripted_prompts.h"
#include "support/widget_find.h"

namespace rux::test {
namespace {

const QString kWarning =
    "Wrong number. Only numeric and  \" , \" \" . \"  characters allowed, try again.";

class RecordWindows : public ::testing::Test {
 protected:
  // Runs a new master key window on the book; the step types into it and ends it.
  int RunNew(std::function<void(CNewMasterKeyDlg&)> step, const std::string& path = {}) {
    CNewMasterKeyDlg window;
    window.m_strKeyBook = QString::fromStdString(path.empty() ? book : path);
    return Run(window, std::move(step));
  }
  // Runs a modify window on record number, primed with the stored texts of
  // the record named name, as the key management window primes it.
  int RunModify(int number, std::function<void(CModifyDlg&)> step,
                const std::string& name = "one") {
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
    return Run(window, std::move(step));
  }
  template <typename Window>
  int Run(Window& window, std::function<void(Window&)> step) {
    ModalScript modal;
    modal.Then<Window>(std::move(step));
    return window.DoModal();
  }
  static QLineEdit* Field(QDialog& d, const QString& name) { return Child<QLineEdit>(&d, name); }
  QString Modified() const {
    return "MODIFY: The Key Book: " + QString::fromStdString(book) + "\nhas been modified.";
  }

  CapturedDiagnostics quiet;
  ScriptedPrompts prompts;
  TempDir dir;
  std::string book = dir.File("book.dat");
};

// Typing is limited to what a book holds: 19 characters of name, 64 of a key,
// only characters Windows-1252 has. Cancel stores nothing.
TEST_F(RecordWindows, NewLimitsTypingToWhatTheBookHolds) {
  RunNew([](CNewMasterKeyDlg& d) {
    Field(d, "masterKeyName")->clear();
    QTest::keyClicks(Field(d, "masterKeyName"), "abcdefghijklmnopqrstuvwxy");  // 25 letters
    QTest::keyClicks(Field(d, "key1"), QString(70, 'k'));
    for (const char* letter : {"a", "\xE4\xB8\xAD", "\xC3\xB1"})  // a, 中, ñ
      QTest::sendKeyEvent(QTest::Click, Field(d, "key2"), Qt::Key_unknown,
                          QString::fromUtf8(letter), Qt::NoModifier);
    EXPECT_EQ(
        QStringList({Field(d, "masterKeyName")->text(), Field(d, "key1")->text(),
                     Field(d, "key2")->text()}),
        QStringList({"abcdefghijklmnopqrs", QString(64, 'k'), QString::fromUtf8("a\xC3\xB1")}));
    d.reject();
  });
  EXPECT_FALSE(Exists(book));
}

// Each change of Enlarge or Scramble is checked: in the new master key window
// before its text shows, in the modify window after; the text is never
// changed. Clearing Enlarge and an infinite Scramble store the zero form
// after their conversion messages.
TEST_F(RecordWindows, LiveChecksWarnAtEachChangeAndZeroIsStoredWithItsMessages) {
  const struct {
    const char* typed;
    int warnings;
  } cases[] = {{"25", 0}, {"-3", 2}, {"05", 2}, {"7", 0}, {"x", 1}};  // "05" begins with 0
  RunNew([&](CNewMasterKeyDlg& d) {
    bool painting = true;
    prompts.onPrompt = [&](const Prompt&) { painting = Field(d, "enlarge")->updatesEnabled(); };
    for (const auto& c : cases) {
      prompts.Clear();
      Field(d, "enlarge")->clear();
      QTest::keyClicks(Field(d, "enlarge"), c.typed);
      EXPECT_EQ(prompts.Boxes(), QStringList(c.warnings, "ENLARGE ERROR: " + kWarning)) << c.typed;
      EXPECT_EQ(Field(d, "enlarge")->text(), c.typed);
    }
    EXPECT_FALSE(painting);
    prompts.onPrompt = nullptr;
    Field(d, "enlarge")->clear();
    Field(d, "scramble")->setText("1e400");
    prompts.Clear();
    d.accept();
  });
  EXPECT_EQ(prompts.Boxes(),
            QStringList({"ERROR: Attention! Error in the Enlarge Key conversion.",
                         "ERROR: Attention! Error in the Scramble Key conversion.", Modified()}));
  EXPECT_EQ(
      RecordOf(ReadBytes(book), 1).substr(ENLARGE_OFFSET),
      std::string("0\0", 2) + std::string(13, ',') + std::string("0\0", 2) + std::string(18, '-'));
  prompts.Clear();
  const std::string before = ReadBytes(book);
  RunModify(
      1,
      [&](CModifyDlg& d) {
        bool painting = false;
        prompts.onPrompt = [&](const Prompt&) {
          painting = Field(d, "scramble")->updatesEnabled();
        };
        Field(d, "scramble")->clear();
        QTest::keyClicks(Field(d, "scramble"), "0.5");  // "0" and "0." warn, "0.5" is a number
        QTest::keyClicks(Field(d, "enlarge"), "x");     // "0x" converts to 0
        EXPECT_TRUE(painting);
        prompts.onPrompt = nullptr;
        d.reject();
      },
      "NAME_MASTER_KEY");
  EXPECT_EQ(prompts.Captions(),
            QStringList({"SCRAMBLE", "SCRAMBLE ERROR", "SCRAMBLE ERROR", "ENLARGE ERROR"}));
  EXPECT_EQ(ReadBytes(book), before);
}

// A failed write is never reported as success, and what was typed stays:
// a book replaced by a folder, Nr 0, a book another program holds, a book
// whose folder is a file. A record another program changed since it was
// loaded is left as it is, and the modify window closes.
TEST_F(RecordWindows, AWriteThatCannotBeDoneIsReported) {
  const LockPatience impatient(std::chrono::milliseconds(0));
  int holder = -1;
  const auto hold = [&] {
    holder = ::open(book.c_str(), O_RDONLY | O_CLOEXEC);
    ::flock(holder, LOCK_SH);
  };
  const auto toFolder = [&] {
    std::filesystem::remove(book);
    std::filesystem::create_directory(book);
  };
  const QString denied = "The Key Book is not accessible, access is denied.";
  const QString inUse = "The Key Book is in use by another program, try again later.";
  const QString changed =
      "The Master Key has been changed by another program, nothing was written.";
  WriteBytes(dir.File("plain"), "x");
  const struct {
    int number;  // -1: the new master key window
    std::string path;
    std::function<void()> meanwhile;
    QString message;
  } cases[] = {
      {1, book, toFolder, denied},
      {0, book, [] {}, denied},
      {1, book, hold, inUse},
      {-1, book, hold, inUse},
      {-1, dir.File("plain") + "/book.dat", [] {}, denied},
      {1, book, [&] { WriteRecordAt(book, 1, KeyRecord("other")); }, changed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message.toStdString());
    MakeBook(book, {KeyRecord("one")});
    prompts.Clear();
    bool closed = false, openAfterOk = false;
    const auto step = [&](Dialog& d) {
      QObject::connect(&d, &QDialog::finished, [&] { closed = true; });
      c.meanwhile();
      Field(d, "key1")->setText("typed");
      d.accept();
      openAfterOk = !closed;
      EXPECT_EQ(Field(d, "key1")->text(), "typed");
      if (!closed) d.reject();
    };
    EXPECT_EQ(c.number < 0 ? RunNew(step, c.path) : RunModify(c.number, step), Dialog::IDCANCEL);
    EXPECT_EQ(openAfterOk, c.message != changed);
    EXPECT_EQ(prompts.Boxes().last(), "ERROR: " + c.message);
    EXPECT_FALSE(prompts.Captions().contains("MODIFY"));
    if (std::filesystem::is_regular_file(book)) {
      EXPECT_EQ(ReadBytes(book), BytesOf(KeyRecord(c.message == changed ? "other" : "one")));
    }
    if (holder >= 0) ::close(holder);
    holder = -1;
    std::filesystem::remove_all(book);
  }
  EXPECT_NE(quiet.Text().find(" Error no se ha abierto el fichero"), std::string::npos);
}

}  // namespace
}  // namespace rux::test
