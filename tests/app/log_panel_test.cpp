// The log panel: "Copy Keys to Log", "Clear Log", "Edit Log" and typing into it.
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>

#include "app/log_dlg.h"
#include "keys_window_fixture.h"
#include "support/widget_find.h"

namespace rux::test {
namespace {

// Local time is UTC for the life of the object.
class UtcZone {
 public:
  UtcZone() {
    if (const char* tz = std::getenv("TZ")) old_ = tz;
    setenv("TZ", "UTC", 1);
    tzset();
  }
  ~UtcZone() {
    if (old_)
      setenv("TZ", old_->c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }

 private:
  std::optional<std::string> old_;
};

class LogPanel : public MainWindowTest {
 protected:
  QString PanelText() const { return window.LogPanel()->toPlainText(); }
  UtcZone utc;
};

QString KeysEntry(const QString& book, int number, const QString& name) {
  QString entry = "\n FECHA: Fri Mar 01 09:05:07 2013\n\nLibro Claves: " + book +
                  "\nNumero de Clave: " + QString::number(number);
  for (int n = 1; n <= 10; ++n) entry += QString("\nClave%1: %2-key%1").arg(n).arg(name);
  return entry + "\nClave11: 5000000000\nClave12: 3250000000.01\n";
}

TEST_F(LogPanel, CopyKeysAppendsTheChosenRecordsTextsWithTheTimeStamp) {
  const QString book = QString::fromStdString(MakeBook(dir, {"alpha", "beta"}, {}));
  ChooseBook(book.toStdString());
  PickEntry(Combo(), 1);
  window.AppendLog("earlier");
  window.OnCopyKeysToLog();

  const QString expected = "earlier" + KeysEntry(book, 2, "beta");
  EXPECT_EQ(window.m_strLog, expected);
  EXPECT_EQ(PanelText(), expected);
  EXPECT_EQ(window.m_strKey[0], "beta-key1");  // the record was read again
  EXPECT_TRUE(prompts.MessageTexts().isEmpty());
}

TEST_F(LogPanel, CopyKeysAppendsNothingForANumberBeyondTheBook) {
  ChooseBook(MakeBook(dir, {"alpha"}));
  window.m_nKeyNumber = 2;
  window.UpdateData(false);
  window.OnCopyKeysToLog();

  EXPECT_EQ(window.m_strLog, "");
  EXPECT_TRUE(prompts.MessageTexts().isEmpty());
}

TEST_F(LogPanel, CopyKeysBeforeAnyRecordWasReadAppendsNothing) {
  window.OnCopyKeysToLog();  // no Key Book, number 0

  EXPECT_EQ(window.m_strLog, "");
  EXPECT_EQ(prompts.MessageTexts(),
            QStringList({"The Key Book is not accessible, access is denied."}));
}

TEST_F(LogPanel, CopyKeysFromAVanishedBookUsesTheTextsLastReadForThatNumber) {
  const std::string book = MakeBook(dir, {"alpha"});
  ChooseBook(book);
  std::remove(book.c_str());
  window.OnCopyKeysToLog();

  EXPECT_EQ(prompts.MessageTexts(),
            QStringList({"The Key Book is not accessible, access is denied."}));
  EXPECT_EQ(window.m_strLog, KeysEntry(QString::fromStdString(book), 1, "alpha"));
}

TEST_F(LogPanel, ClearLogAsksAndEmptiesOnlyOnOk) {
  window.AppendLog("kept");
  prompts.Answer(Answer::Cancel);
  window.OnClearLog();
  EXPECT_EQ(window.m_strLog, "kept");
  EXPECT_EQ(PanelText(), "kept");

  prompts.Answer(Answer::Ok);
  window.OnClearLog();
  EXPECT_EQ(window.m_strLog, "");
  EXPECT_EQ(PanelText(), "");

  EXPECT_EQ(prompts.MessageTexts(),
            QStringList(2, "ATTENTION! Are you sure you want to delete LOG?"));
  EXPECT_EQ(prompts.Captions(), QStringList(2, "LOG DELETE"));
  EXPECT_EQ(prompts.Messages()[0].buttons, Buttons::OkCancel);
  EXPECT_EQ(prompts.Messages()[0].icon, Icon::Exclamation);
}

TEST_F(LogPanel, TypedTextReachesTheLogAtOnceAndSurvivesAppends) {
  window.AppendLog("first\n");
  window.LogPanel()->moveCursor(QTextCursor::End);
  QTest::keyClicks(window.LogPanel(), "typed");
  EXPECT_EQ(window.m_strLog, "first\ntyped");

  window.AppendLog("\nappended");
  EXPECT_EQ(window.m_strLog, "first\ntyped\nappended");
  EXPECT_EQ(PanelText(), "first\ntyped\nappended");
}

TEST_F(LogPanel, TypedTextIsKeptByCopyKeys) {
  ChooseBook(MakeBook(dir, {"alpha"}));
  QTest::keyClicks(window.LogPanel(), "note");
  window.OnCopyKeysToLog();
  EXPECT_TRUE(window.m_strLog.startsWith("note\n FECHA: "));
}

TEST_F(LogPanel, TypingInTheLogAndInAFieldKeepsBoth) {
  QTest::keyClicks(window.LogPanel(), "log text");
  QTest::keyClicks(window.ParamField(1), "p1");
  EXPECT_EQ(window.m_strLog, "log text");
  EXPECT_EQ(window.m_strParam[0], "p1");
}

using EditLog = LogPanel;

TEST_F(EditLog, SaveStoresTheEditedText) {
  window.AppendLog("old");
  QTest::keyClicks(window.LogPanel(), " typed");
  modal.Then<CLogDlg>([](CLogDlg& log) {
    EXPECT_EQ(log.windowTitle(), "shell_rux LOG");
    auto* text = Child<QPlainTextEdit>(&log, "logText");
    EXPECT_EQ(text->toPlainText(), "old typed");
    text->setPlainText("edited\nlines");
    Child<QPushButton>(&log, "save")->click();
  });
  window.OnEditLog();

  EXPECT_EQ(window.m_strLog, "edited\nlines");
  EXPECT_EQ(PanelText(), "edited\nlines");
}

TEST_F(EditLog, QuitLeavesTheLogAsItWas) {
  window.AppendLog("old");
  modal.Then<CLogDlg>([](CLogDlg& log) {
    Child<QPlainTextEdit>(&log, "logText")->setPlainText("thrown away");
    Child<QPushButton>(&log, "quit")->click();
  });
  window.OnEditLog();

  EXPECT_EQ(window.m_strLog, "old");
  EXPECT_EQ(PanelText(), "old");
}

TEST_F(EditLog, EnterInTheTextAreaSaves) {
  window.AppendLog("old");
  modal.Then<CLogDlg>([](CLogDlg& log) {
    auto* text = Child<QPlainTextEdit>(&log, "logText");
    text->moveCursor(QTextCursor::End);
    QTest::keyClicks(text, " more");
    QTest::keyClick(text, Qt::Key_Return);
    EXPECT_EQ(log.ModalResult(), Dialog::IDOK);
  });
  window.OnEditLog();

  EXPECT_EQ(window.m_strLog, "old more");
}

TEST_F(EditLog, CtrlEnterStartsANewLine) {
  modal.Then<CLogDlg>([](CLogDlg& log) {
    auto* text = Child<QPlainTextEdit>(&log, "logText");
    QTest::keyClicks(text, "a");
    QTest::keyClick(text, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClicks(text, "b");
    EXPECT_EQ(text->toPlainText(), "a\nb");
    log.accept();
  });
  window.OnEditLog();
  EXPECT_EQ(window.m_strLog, "a\nb");
}

TEST_F(EditLog, TheFocusGoesToTheLogPanel) {
  Activate();
  QWidget* focusWhileOpen = nullptr;
  modal.Then<CLogDlg>([&](CLogDlg& log) {
    focusWhileOpen = Focused();
    log.reject();
  });
  window.OnEditLog();
  EXPECT_EQ(focusWhileOpen, window.LogPanel());
}

}  // namespace
}  // namespace rux::test
