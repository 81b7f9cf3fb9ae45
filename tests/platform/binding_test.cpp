// Members bound to controls: reading fields, refreshing, the notifications an
// exchange must not trigger, a multi-line text that reaches its member
// whichever way it changes, and the modal run.
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

// Like the main window: a change in the name field or the log reads the fields.
class BoundWindow : public Dialog {
 public:
  BoundWindow() {
    LongListEntries entries;
    for (const char* name : {"Alpha", "beta", "Betamax", "abc", "ab", "AB"})
      entries.Add(2 * entries.Count() + 3, name);  // record numbers 3, 5, 7 ...
    list->Reset(std::move(entries));
    combo->setEditable(true);
    OnNotify(name, &QLineEdit::textChanged, [this] {
      ++notifications;
      UpdateData(true);
    });
    OnNotify(log, &QPlainTextEdit::textChanged, [this] { UpdateData(true); });
  }
  void DoDataExchange(DataExchange& dx) override {
    dx.Text(name, m_strName);
    dx.Number(number, m_nNumber);
    dx.ComboText(combo, m_strCombo);
    dx.Text(log, m_strLog);
  }

  QString m_strName, m_strCombo, m_strLog;
  int m_nNumber = 0, notifications = 0;
  QLineEdit *name = new QLineEdit(this), *number = new QLineEdit(this);
  QComboBox* combo = new QComboBox(this);
  LongList* list = new LongList(combo);
  QPlainTextEdit* log = new QPlainTextEdit(this);
};

TEST(DataBinding, RefreshRaisesNoNotificationAndAUserChangeReadsTheFields) {
  BoundWindow w;
  w.m_strName = "set by the program";
  w.m_nNumber = 42;
  w.UpdateData(false);
  EXPECT_EQ(w.name->text() + "|" + w.number->text(), "set by the program|42");
  EXPECT_EQ(w.notifications, 0);
  w.number->setText("five");  // no number: the member keeps its value
  w.name->setText("typed");
  EXPECT_EQ(w.notifications, 1);
  EXPECT_EQ(w.m_strName + "|" + QString::number(w.m_nNumber), "typed|42");
}

TEST(DataBinding, ComboRefreshSelectsTheTextItselfElseTheFirstEntryBeginningWithIt) {
  BoundWindow w;
  const std::pair<QString, int> cases[] = {{"BET", 1}, {"", 0},   {"ab", 4},
                                           {"AB", 5},  {"Ab", 3}, {"delta", -1}};
  for (const auto& [text, row] : cases) {
    w.m_strCombo = text;
    w.UpdateData(false);
    EXPECT_EQ(w.combo->currentIndex(), row) << text.toStdString();
  }
  EXPECT_EQ(w.combo->currentText(), "delta");  // no entry: the text goes into the edit part
  EXPECT_EQ(w.list->RowOf(7), 2);
  EXPECT_EQ(w.list->RowOf(8), -1);
  LongListEntries other;
  other.Add(1, "Delta ñ");
  w.list->Reset(std::move(other));  // the same text now finds the new entry
  w.UpdateData(false);
  EXPECT_EQ(w.combo->currentText(), "Delta ñ");
}

TEST(DataBinding, AMultiLineTextReachesItsMemberWhicheverWayItChanges) {
  BoundWindow w;
  w.m_strLog = "first";
  w.UpdateData(false);
  w.log->moveCursor(QTextCursor::End);
  QTest::keyClicks(w.log, " typed");
  EXPECT_EQ(w.m_strLog, "first typed");
  w.log->undo();
  EXPECT_EQ(w.m_strLog, "first");
  w.log->moveCursor(QTextCursor::Start);
  w.m_strLog += "\ntwo\n";  // a refresh that adds shows the end and cannot be undone
  w.UpdateData(false);
  EXPECT_EQ(w.log->toPlainText(), "first\ntwo\n");
  EXPECT_FALSE(w.log->document()->isUndoAvailable());
  EXPECT_TRUE(w.log->document()->isUndoRedoEnabled());
  EXPECT_EQ(w.log->textCursor().position(), w.log->document()->characterCount() - 1);
  auto* replacement = new QTextDocument(w.log);
  replacement->setDocumentLayout(new QPlainTextDocumentLayout(replacement));
  w.log->blockSignals(true);
  w.log->setDocument(replacement);
  w.log->blockSignals(false);
  replacement->setPlainText("another document");
  EXPECT_EQ(w.m_strLog, "another document");

  // Breaks and no-break spaces read back as the edit gives them.
  w.m_strLog = QString("a\r\nb\rc") + QChar(0x00A0) + "d" + QChar(0x2029) + "e" + QChar(0x2028);
  w.UpdateData(false);
  w.UpdateData(true);
  EXPECT_EQ(w.m_strLog, "a\nb\nc d\ne\n");
  // A long text goes in as paragraphs of many lines each and reads back whole.
  QString lines;
  for (int i = 0; i < 4000; ++i) lines += QString("line %1").arg(i) + (i % 2 ? "\r\n" : "\r");
  w.m_strLog = lines;
  w.UpdateData(false);
  EXPECT_EQ(w.log->toPlainText(), lines.replace("\r\n", "\n").replace('\r', '\n'));
  EXPECT_LT(w.log->document()->blockCount(), 20);
}

TEST(ModalRun, OkReadsTheFieldsAndCancelLeavesTheMembers) {
  test::ModalScript modal;
  BoundWindow w;
  w.m_strName = "start";
  for (const bool ok : {false, true}) {
    modal.Then<BoundWindow>([ok](BoundWindow& d) {
      EXPECT_EQ(d.name->text(), "start");  // the window opens refreshed
      const QSignalBlocker quiet(d.name);
      d.name->setText("changed");
      ok ? d.accept() : d.reject();
    });
    EXPECT_EQ(w.DoModal(), ok ? Dialog::IDOK : Dialog::IDCANCEL);
    EXPECT_EQ(w.m_strName, ok ? "changed" : "start");
  }
}

}  // namespace
}  // namespace rux
