// Members bound to controls: reading fields, refreshing, the notifications
// that an exchange must not trigger, and a multi-line text that must reach
// its member whichever way it changes.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextDocument>

#include <gtest/gtest.h>

#include "platform/widgets/dialog.h"
#include "platform/widgets/long_list.h"
#include "support/modal_script.h"

namespace rux {
namespace {

class BoundWindow : public Dialog {
 public:
  BoundWindow() {
    combo->setEditable(true);
    LongListEntries entries;
    for (const char* name : {"Alpha", "beta", "Betamax", "abc", "ab", "AB"})
      entries.Add(2 * entries.Count() + 3, name);  // record numbers 3, 5, 7 ...
    list->Reset(std::move(entries));
    OnNotify(name, &QLineEdit::textChanged, [this] {
      ++notifications;
      UpdateData(true);
    });
    // Like the main window's log panel: every change reads the fields.
    OnNotify(log, &QPlainTextEdit::textChanged, [this] { UpdateData(true); });
  }
  void DoDataExchange(DataExchange& dx) override {
    order << (dx.Saving() ? "read" : "refresh");
    dx.Text(name, m_strName);
    dx.Number(number, m_nNumber);
    dx.ComboText(combo, m_strCombo);
    dx.Text(log, m_strLog);
  }

  QString m_strName, m_strCombo, m_strLog;
  int m_nNumber = 0;
  QLineEdit* name = new QLineEdit(this);
  QLineEdit* number = new QLineEdit(this);
  QComboBox* combo = new QComboBox(this);
  LongList* list = new LongList(combo);
  QPlainTextEdit* log = new QPlainTextEdit(this);
  int notifications = 0;
  QStringList order;
};

TEST(DataBinding, RefreshRaisesNoNotificationButAUserChangeReadsTheFields) {
  BoundWindow w;
  w.m_strName = "set by the program";
  w.m_nNumber = 42;
  w.m_strLog = "line 1\nline 2";
  w.UpdateData(false);
  EXPECT_EQ(w.name->text(), "set by the program");
  EXPECT_EQ(w.number->text(), "42");
  EXPECT_EQ(w.log->toPlainText(), "line 1\nline 2");
  EXPECT_EQ(w.notifications, 0);
  EXPECT_EQ(w.order, QStringList{"refresh"});

  w.number->setText("five");  // no number: the member keeps its value
  w.name->setText("typed");
  EXPECT_EQ(w.notifications, 1);
  EXPECT_EQ(w.order, (QStringList{"refresh", "read"}));
  EXPECT_EQ(w.m_strName, "typed");
  EXPECT_EQ(w.m_nNumber, 42);
  w.number->setText("-7");
  w.UpdateData(true);
  EXPECT_EQ(w.m_nNumber, -7);
}

TEST(DataBinding, ComboRefreshSelectsTheTextItselfElseTheFirstEntryBeginningWithIt) {
  BoundWindow w;
  const struct {
    QString text;
    int index;
  } cases[] = {{"BET", 1}, {"", 0}, {"ab", 4}, {"AB", 5}, {"Ab", 3}, {"delta", -1}};
  for (const auto& c : cases) {
    w.m_strCombo = c.text;
    w.UpdateData(false);
    EXPECT_EQ(w.combo->currentIndex(), c.index) << c.text.toStdString();
  }
  EXPECT_EQ(w.combo->currentText(), "delta");  // no entry: the text goes into the edit part
  EXPECT_EQ(w.list->RowOf(7), 2);
  EXPECT_EQ(w.list->RowOf(8), -1);
  w.m_strCombo = "BET";
  w.UpdateData(false);
  LongListEntries other;
  other.Add(1, "Bet\xC3\xA1");
  w.list->Reset(std::move(other));  // the same text now finds the new entries
  w.UpdateData(false);
  EXPECT_EQ(w.combo->currentText(), "Bet\u00e1");
  w.list->Reset({});
  w.m_strCombo = "typed name";
  w.UpdateData(false);
  w.UpdateData(true);
  EXPECT_EQ(w.m_strCombo, "typed name");
}

TEST(DataBinding, TypingUndoAndRedoInAMultiLineTextReachTheMember) {
  BoundWindow w;
  w.m_strLog = "first";
  w.UpdateData(false);
  w.log->moveCursor(QTextCursor::End);
  QTest::keyClicks(w.log, " typed");
  EXPECT_EQ(w.m_strLog, "first typed");
  w.log->undo();
  EXPECT_EQ(w.m_strLog, "first");
  w.log->redo();
  EXPECT_EQ(w.m_strLog, "first typed");
}

TEST(DataBinding, ARefreshThatAddsToTheEndShowsTheWholeTextAndCannotBeUndone) {
  BoundWindow w;
  w.m_strLog = "one";
  w.UpdateData(false);
  w.m_strLog += "\ntwo\n";
  w.UpdateData(false);
  EXPECT_EQ(w.log->toPlainText(), "one\ntwo\n");
  EXPECT_FALSE(w.log->document()->isUndoAvailable());
  EXPECT_TRUE(w.log->document()->isUndoRedoEnabled());
  EXPECT_EQ(w.log->textCursor().position(), w.log->document()->characterCount() - 1);
  w.m_strLog = "other";
  w.UpdateData(false);
  EXPECT_EQ(w.log->toPlainText(), "other");
}

TEST(DataBinding, MultiLineChangesOutsideAnExchangeAreRead) {
  BoundWindow w;
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

TEST(DataBinding, MultiLineCharactersTheEditStoresDifferentlyAreReadAsItGivesThem) {
  BoundWindow w;
  w.m_strLog = QString("a\r\nb\rc") + QChar(0x00A0) + "d" + QChar(0x2029) + "e" + QChar(0x2028);
  w.UpdateData(false);
  w.UpdateData(true);
  EXPECT_EQ(w.m_strLog, "a\nb\nc d\ne\n");
  w.m_strLog = "x";
  w.UpdateData(false);
  w.m_strLog += QChar(0x00A0);  // added at the end, read back as a blank
  w.UpdateData(false);
  w.UpdateData(true);
  EXPECT_EQ(w.m_strLog, "x ");

  // A long text goes in as paragraphs of many lines each and reads back whole.
  const char* const breaks[] = {"\n", "\r\n", "\r"};
  QString lines;
  for (int i = 0; i < 4000; ++i) lines += QString("line %1").arg(i) + breaks[i % 3];
  for (const QString& text : {QString(lines).replace("\r\n", "\n").replace('\r', '\n'), lines}) {
    w.m_strLog = text;
    w.UpdateData(false);
    EXPECT_EQ(w.log->toPlainText(), QString(text).replace("\r\n", "\n").replace('\r', '\n'));
    EXPECT_LT(w.log->document()->blockCount(), 20);
  }
}

TEST(ModalRun, OkReadsTheFieldsAndCancelLeavesTheMembers) {
  test::ModalScript modal;
  BoundWindow w;
  w.m_strName = "start";
  const auto typeAndEnd = [](const QString& text, bool ok) {
    return [text, ok](BoundWindow& d) {
      EXPECT_EQ(d.name->text(), "start");  // the window opens refreshed
      const QSignalBlocker quiet(d.name);
      d.name->setText(text);
      ok ? d.accept() : d.reject();
    };
  };
  modal.Then<BoundWindow>(typeAndEnd("discarded", false));
  EXPECT_EQ(w.DoModal(), Dialog::IDCANCEL);
  EXPECT_EQ(w.m_strName, "start");
  modal.Then<BoundWindow>(typeAndEnd("changed", true));
  EXPECT_EQ(w.DoModal(), Dialog::IDOK);
  EXPECT_EQ(w.m_strName, "changed");
}

}  // namespace
}  // namespace rux
