// A multi-line text bound to a member: the text is remembered between
// exchanges, and every way the text can change must still reach the member.
#include <QPlainTextEdit>
#include <QTest>
#include <QTextDocument>

#include <gtest/gtest.h>

#include "platform/widgets/dialog.h"

namespace rux {
namespace {

class LogWindow : public Dialog {
 public:
  LogWindow() {
    log = new QPlainTextEdit(this);
    // Like the main window's log panel: every change reads the fields.
    OnNotify(log, &QPlainTextEdit::textChanged, [this] { UpdateData(true); });
  }
  void DoDataExchange(DataExchange& dx) override { dx.Text(log, m_strLog); }

  QString m_strLog;
  QPlainTextEdit* log;
};

TEST(PlainTextBinding, TypingReachesTheMemberFromTheChangeNotification) {
  LogWindow w;
  w.m_strLog = "first";
  w.UpdateData(false);
  w.UpdateData(true);
  w.log->moveCursor(QTextCursor::End);
  QTest::keyClicks(w.log, " typed");
  EXPECT_EQ(w.m_strLog, "first typed");

  w.log->undo();
  EXPECT_EQ(w.m_strLog, "first");
  w.log->redo();
  EXPECT_EQ(w.m_strLog, "first typed");
}

TEST(PlainTextBinding, ARefreshThatAddsToTheEndShowsTheWholeTextAndCannotBeUndone) {
  LogWindow w;
  w.m_strLog = "one";
  w.UpdateData(false);
  w.m_strLog += "\ntwo\n";
  w.UpdateData(false);
  EXPECT_EQ(w.log->toPlainText(), "one\ntwo\n");
  EXPECT_FALSE(w.log->document()->isUndoAvailable());
  EXPECT_EQ(w.log->textCursor().position(), w.log->document()->characterCount() - 1);
  EXPECT_TRUE(w.log->document()->isUndoRedoEnabled());

  w.m_strLog = "other";
  w.UpdateData(false);
  EXPECT_EQ(w.log->toPlainText(), "other");
}

TEST(PlainTextBinding, ChangesMadeOutsideAnExchangeAreRead) {
  LogWindow w;
  w.m_strLog = "shown";
  w.UpdateData(false);
  {
    const QSignalBlocker quiet(w.log);  // no notification: only the next read sees it
    w.log->setPlainText("set directly");
  }
  w.UpdateData(true);
  EXPECT_EQ(w.m_strLog, "set directly");

  auto* replacement = new QTextDocument(w.log);
  replacement->setDocumentLayout(new QPlainTextDocumentLayout(replacement));
  replacement->setPlainText("another document");
  {
    const QSignalBlocker quiet(w.log);
    w.log->setDocument(replacement);
  }
  w.UpdateData(true);
  EXPECT_EQ(w.m_strLog, "another document");
  replacement->setPlainText("changed again");
  EXPECT_EQ(w.m_strLog, "changed again");
}

TEST(PlainTextBinding, CharactersTheEditStoresDifferentlyAreReadAsItGivesThem) {
  LogWindow w;
  w.m_strLog = QString("a\r\nb\rc") + QChar(0x00A0) + "d" + QChar(0x2029) + "e" + QChar(0x2028);
  w.UpdateData(false);
  w.UpdateData(true);
  EXPECT_EQ(w.m_strLog, "a\nb\nc d\ne\n");
  EXPECT_EQ(w.m_strLog, w.log->toPlainText());

  w.m_strLog = "x";
  w.UpdateData(false);
  w.m_strLog += QChar(0x00A0);  // added at the end, read back as a blank
  w.UpdateData(false);
  w.UpdateData(true);
  EXPECT_EQ(w.m_strLog, "x ");
}

}  // namespace
}  // namespace rux
