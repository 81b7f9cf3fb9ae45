// Members bound to controls: reading fields, refreshing, and the
// notifications that an exchange must not trigger.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include "platform/widgets/dialog.h"
#include "support/modal_script.h"

namespace rux {
namespace {

class BoundWindow : public Dialog {
 public:
  BoundWindow() {
    name = new QLineEdit(this);
    number = new QLineEdit(this);
    combo = new QComboBox(this);
    combo->setEditable(true);
    combo->addItems({"Alpha", "beta", "Betamax", "gamma"});
    log = new QPlainTextEdit(this);
    OnNotify(name, &QLineEdit::textChanged, [this] {
      ++notifications;
      UpdateData(true);
    });
  }
  void DoDataExchange(DataExchange& dx) override {
    order << (dx.Saving() ? "read" : "refresh");
    dx.Text(name, m_strName);
    dx.Number(number, m_nNumber);
    dx.ComboText(combo, m_strCombo);
    dx.Text(log, m_strLog);
  }

  QString m_strName;
  int m_nNumber = 0;
  QString m_strCombo;
  QString m_strLog;
  QLineEdit* name;
  QLineEdit* number;
  QComboBox* combo;
  QPlainTextEdit* log;
  int notifications = 0;
  QStringList order;
};

TEST(DataBinding, RefreshPutsMembersIntoControlsAndReadTakesThemBack) {
  BoundWindow w;
  w.m_strName = "first";
  w.m_nNumber = 42;
  w.m_strLog = "line 1\nline 2";
  w.UpdateData(false);
  EXPECT_EQ(w.name->text(), "first");
  EXPECT_EQ(w.number->text(), "42");
  EXPECT_EQ(w.log->toPlainText(), "line 1\nline 2");

  w.number->setText("-7");
  w.log->setPlainText("typed");
  w.UpdateData(true);
  EXPECT_EQ(w.m_nNumber, -7);
  EXPECT_EQ(w.m_strLog, "typed");
}

TEST(DataBinding, NumberFieldThatIsNoNumberKeepsTheMember) {
  BoundWindow w;
  w.m_nNumber = 5;
  w.number->setText("five");
  w.UpdateData(true);
  EXPECT_EQ(w.m_nNumber, 5);
}

TEST(DataBinding, RefreshRaisesNoNotificationButAUserChangeDoes) {
  BoundWindow w;
  w.m_strName = "set by the program";
  w.UpdateData(false);
  EXPECT_EQ(w.notifications, 0);
  EXPECT_EQ(w.order, QStringList{"refresh"});

  w.name->setText("typed");  // a change outside any exchange
  EXPECT_EQ(w.notifications, 1);
  EXPECT_EQ(w.m_strName, "typed");
  EXPECT_EQ(w.order, (QStringList{"refresh", "read"}));
}

TEST(DataBinding, ComboRefreshSelectsFirstEntryBeginningWithTheTextIgnoringCase) {
  BoundWindow w;
  w.m_strCombo = "BET";
  w.UpdateData(false);
  EXPECT_EQ(w.combo->currentIndex(), 1);
  EXPECT_EQ(w.combo->currentText(), "beta");

  w.m_strCombo = "";
  w.UpdateData(false);
  EXPECT_EQ(w.combo->currentIndex(), 0);

  w.m_strCombo = "delta";
  w.UpdateData(false);
  EXPECT_EQ(w.combo->currentIndex(), -1);
  EXPECT_EQ(w.combo->currentText(), "delta");

  w.UpdateData(true);
  EXPECT_EQ(w.m_strCombo, "delta");
}

TEST(DataBinding, ComboRefreshPrefersTheEntryThatIsTheTextItself) {
  BoundWindow w;
  w.combo->clear();
  w.combo->addItems({"abc", "ab", "AB"});
  w.m_strCombo = "ab";
  w.UpdateData(false);
  EXPECT_EQ(w.combo->currentIndex(), 1);
  w.m_strCombo = "AB";
  w.UpdateData(false);
  EXPECT_EQ(w.combo->currentIndex(), 2);
  w.m_strCombo = "Ab";  // no entry is exactly that: the first prefix match
  w.UpdateData(false);
  EXPECT_EQ(w.combo->currentIndex(), 0);
}

TEST(DataBinding, ComboRefreshWithAnEmptyListPutsTheTextIntoTheEditPart) {
  BoundWindow w;
  w.combo->clear();
  w.m_strCombo = "typed name";
  w.UpdateData(false);
  EXPECT_EQ(w.combo->currentText(), "typed name");
}

TEST(ModalRun, OkReadsTheFieldsAndReturnsOkWhileCancelLeavesMembers) {
  test::ModalScript modal;
  BoundWindow w;
  w.m_strName = "start";
  modal.Then<BoundWindow>([](BoundWindow& d) {
    EXPECT_EQ(d.name->text(), "start");  // the window opens refreshed
    d.name->blockSignals(true);
    d.name->setText("changed");
    d.name->blockSignals(false);
    d.accept();
  });
  EXPECT_EQ(w.DoModal(), Dialog::IDOK);
  EXPECT_EQ(w.m_strName, "changed");

  modal.Then<BoundWindow>([](BoundWindow& d) {
    d.name->blockSignals(true);
    d.name->setText("discarded");
    d.name->blockSignals(false);
    d.reject();
  });
  EXPECT_EQ(w.DoModal(), Dialog::IDCANCEL);
  EXPECT_EQ(w.m_strName, "changed");
}

}  // namespace
}  // namespace rux
