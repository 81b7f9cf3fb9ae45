// The log panel: typing into it, "Copy Keys to Log", "Clear Log" and "Edit Log".
#include <QTest>
#include <cstdio>
#include <functional>

#include "app/log_dlg.h"
#include "app_fixture.h"

namespace rux::test {
namespace {

QString KeysEntry(const QString& book, int number, const QString& name) {
  QString entry = "\n FECHA: Fri Mar 01 09:05:07 2013\n\nLibro Claves: " + book +
                  "\nNumero de Clave: " + QString::number(number);
  for (int n = 1; n <= 10; ++n) entry += QString("\nClave%1: %2-key%1").arg(n).arg(name);
  return entry + "\nClave11: 5000000000\nClave12: 3250000000.01\n";
}

// Typed text survives the refreshes until it is read, and then the appends.
TEST_F(AppTest, CopyKeysAppendsTheChosenRecordsTextsToWhatWasTyped) {
  const QString book = QString::fromStdString(MakeBook(dir, {"alpha", "beta"}));
  ChooseBook(book.toStdString());
  QTest::keyClicks(window.LogPanel(), "typed");
  PickEntry(Combo(), 1);
  EXPECT_EQ(window.LogPanel()->toPlainText(), "typed");
  window.OnCopyKeysToLog();
  const QString expected = "typed" + KeysEntry(book, 2, "beta");
  EXPECT_EQ(window.m_strLog, expected);
  EXPECT_EQ(window.LogPanel()->toPlainText(), expected);
  EXPECT_EQ(window.m_strKey[0], "beta-key1");  // the record was read again
  EXPECT_TRUE(prompts.MessageTexts().isEmpty());
}

// Only the record last read, from the book still chosen, is ever appended:
// a read that finds no record and a change of book forget it.
TEST_F(AppTest, CopyKeysAppendsOnlyTheTextsOfTheRecordItNames) {
  window.OnCopyKeysToLog();  // before any read: no Key Book, number 0
  EXPECT_EQ(window.m_strLog, "");
  EXPECT_EQ(prompts.MessageTexts(), QStringList({kBookNotAccessible}));

  const std::string book = MakeBook(dir, {"alpha"});
  const std::string emptyBook = dir.File("empty.dat");
  WriteBytes(emptyBook, "");
  const auto number = [this](int n) {
    window.m_nKeyNumber = n;
    window.UpdateData(false);
  };
  const struct {
    const char* what;
    std::function<void()> change;
    bool appended;
  } steps[] = {
      {"the book vanished: record 1 was read from it", [&] { std::remove(book.c_str()); }, true},
      {"an empty book chosen", [&] { ChooseBook(emptyBook); }, false},
      {"a book that cannot be read chosen", [&] { ChooseBook(dir.Path()); }, false},
      {"a number beyond the last record, then the book vanished",
       [&] {
         number(2);
         window.OnCopyKeysToLog();
         number(1);
         std::remove(book.c_str());
       },
       false},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    MakeBook(dir, {"alpha"});
    ChooseBook(book);
    window.m_strLog.clear();
    step.change();
    window.OnCopyKeysToLog();
    EXPECT_EQ(window.m_strLog,
              step.appended ? KeysEntry(QString::fromStdString(book), 1, "alpha") : QString());
  }
}

TEST_F(AppTest, ClearLogAsksAndEmptiesOnlyOnOk) {
  QTest::keyClicks(window.LogPanel(), "kept");  // typed, not read yet
  prompts.Answer(Answer::Cancel).Answer(Answer::Ok);
  window.OnClearLog();
  EXPECT_EQ(window.LogPanel()->toPlainText(), "kept");
  window.OnClearLog();
  EXPECT_EQ(window.m_strLog, "");
  EXPECT_EQ(window.LogPanel()->toPlainText(), "");
  EXPECT_EQ(prompts.MessageTexts(),
            QStringList(2, "ATTENTION! Are you sure you want to delete LOG?"));
  EXPECT_EQ(prompts.Captions(), QStringList(2, "LOG DELETE"));
  EXPECT_EQ(prompts.Messages()[0].buttons, Buttons::OkCancel);
}

// "SAVE" stores the edited text, "Quit" throws it away, Enter saves and
// Ctrl+Enter starts a new line. The window opens with what was typed.
TEST_F(AppTest, EditLogSavesOnSaveAndEnterOnly) {
  window.AppendLog("old");
  QTest::keyClicks(window.LogPanel(), " typed");
  modal.Then<CLogDlg>([](CLogDlg& log) {
    EXPECT_EQ(log.windowTitle(), "shell_rux LOG");
    auto* text = Child<QPlainTextEdit>(&log, "logText");
    EXPECT_EQ(text->toPlainText(), "old typed");
    text->setPlainText("edited");
    Child<QPushButton>(&log, "save")->click();
  });
  modal.Then<CLogDlg>([](CLogDlg& log) {
    Child<QPlainTextEdit>(&log, "logText")->setPlainText("thrown away");
    Child<QPushButton>(&log, "quit")->click();
  });
  modal.Then<CLogDlg>([](CLogDlg& log) {
    auto* text = Child<QPlainTextEdit>(&log, "logText");
    text->moveCursor(QTextCursor::End);
    QTest::keyClick(text, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClicks(text, "more");
    QTest::keyClick(text, Qt::Key_Return);
    EXPECT_EQ(log.ModalResult(), Dialog::IDOK);
  });
  window.OnEditLog();
  EXPECT_EQ(window.m_strLog, "edited");
  EXPECT_EQ(window.LogPanel()->toPlainText(), "edited");
  window.OnEditLog();
  EXPECT_EQ(window.m_strLog, "edited");
  window.OnEditLog();
  EXPECT_EQ(window.m_strLog, "edited\nmore");
}

}  // namespace
}  // namespace rux::test
