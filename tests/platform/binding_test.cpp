// Members bound to controls: reading and refreshing fields, and the modal run.
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
    OnNotify(name, &QLineEdit::textChanged, [this] { UpdateData(true); });
    OnNotify(log, &QPlainTextEdit::textChanged, [this] { UpdateData(true); });
  }
  void DoDataExchange(DataExchange& dx) override {
    dx.Text(name, m_strName);
    dx.Number(number, m_nNumber);
    dx.ComboText(combo, m_strCombo);
    dx.Text(log, m_strLog);
  }

  QString m_strName, m_strCombo, m_strLog;
  int m_nNumber = 0;
  QLineEdit *name = new QLineEdit(this), *number = new QLineEdit(this);
  QComboBox* combo = new QComboBox(this);
  LongList* list = new LongList(combo);
  QPlainTextEdit* log = new QPlainTextEdit(this);
};

// A refresh raises no notification; a change by the user reads the fields; a
// modal run opens refreshed, and OK reads the fields where Cancel does not.
TEST(DataBinding, RefreshRaisesNoNotificationAndAUserChangeOrOkReadsTheFields) {
  test::ModalScript modal;
  BoundWindow w;
  w.m_strName = "set by the program";
  w.m_nNumber = 42;
  w.UpdateData(false);
  EXPECT_EQ(w.name->text() + "|" + w.number->text(), "set by the program|42");
  w.number->setText("five");  // no number: the member keeps its value
  w.name->setText("typed");
  EXPECT_EQ(w.m_strName + "|" + QString::number(w.m_nNumber), "typed|42");
  for (const bool ok : {false, true}) {
    modal.Then<BoundWindow>([ok](BoundWindow& d) {
      d.number->setText("7");
      ok ? d.accept() : d.reject();
    });
    EXPECT_EQ(w.DoModal(), ok ? Dialog::IDOK : Dialog::IDCANCEL);
    EXPECT_EQ(w.m_nNumber, ok ? 7 : 42);
  }
}

// A refresh selects the entry of the text itself, else the first entry that
// begins with it, else puts the text into the edit part.
TEST(DataBinding, ComboRefreshSelectsTheTextItselfElseTheFirstEntryBeginningWithIt) {
  BoundWindow w;
  QStringList shown;
  for (const QString text : {"BET", "", "ab", "AB", "Ab", "delta"}) {
    w.m_strCombo = text;
    w.UpdateData(false);
    shown << QString::number(w.combo->currentIndex()) + ":" + w.combo->currentText();
  }
  EXPECT_EQ(shown.join(' '), "1:beta 0:Alpha 4:ab 5:AB 3:abc -1:delta");
  EXPECT_EQ(QString("%1 %2").arg(w.list->RowOf(7)).arg(w.list->RowOf(8)), "2 -1");
  LongListEntries other;
  other.Add(1, "Delta ñ");
  w.list->Reset(std::move(other));  // the same text now finds the new entry
  w.UpdateData(false);
  EXPECT_EQ(w.combo->currentText(), "Delta ñ");
}

// Typing and undo reach the member; a refresh that adds shows the end and
// cannot be undone; breaks read back as the edit gives them; a long text goes
// in as paragraphs of many lines each and reads back whole.
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
  w.m_strLog += "\ntwo\n";
  w.UpdateData(false);
  const QTextDocument* document = w.log->document();
  EXPECT_EQ(w.log->toPlainText(), "first\ntwo\n");
  EXPECT_TRUE(!document->isUndoAvailable() && document->isUndoRedoEnabled());
  EXPECT_EQ(w.log->textCursor().position(), document->characterCount() - 1);
  w.m_strLog = QString("a\r\nb\rc") + QChar(0x00A0) + "d" + QChar(0x2029) + "e" + QChar(0x2028);
  w.UpdateData(false);
  w.UpdateData(true);
  EXPECT_EQ(w.m_strLog, "a\nb\nc d\ne\n");
  QString lines;
  for (int i = 0; i < 4000; ++i) lines += QString("line %1").arg(i) + (i % 2 ? "\r\n" : "\r");
  w.m_strLog = lines;
  w.UpdateData(false);
  EXPECT_EQ(w.log->toPlainText(), lines.replace("\r\n", "\n").replace('\r', '\n'));
  EXPECT_LT(document->blockCount(), 20);
}

}  // namespace
}  // namespace rux
