// Choosing a Key Book and a Master Key in the main window.
#include <QTest>
#include <cstdio>

#include "app_fixture.h"
#include "manage/keys_dlg.h"

namespace rux::test {
namespace {

TEST_F(AppTest, ChoosingABookOfThreeReadsTheFirstRecordAndListsAllNames) {
  const std::string book = MakeBook(dir, {"alpha", "beta", "gamma"});
  Activate();
  ChooseBook(book);
  EXPECT_EQ(Child<QLineEdit>(&window, "keyBook")->text(), QString::fromStdString(book));
  EXPECT_EQ(Child<QLineEdit>(&window, "keyNumber")->text(), "1");
  EXPECT_EQ(window.m_strMasterKeyName, "alpha");
  EXPECT_EQ(window.m_strKey[0], "alpha-key1");  // all twelve: see Copy Keys to Log
  EXPECT_EQ(ListEntries(Combo()), QStringList({"alpha", "beta", "gamma"}));
  EXPECT_EQ(Combo()->currentText(), "alpha");
  EXPECT_EQ(Focused(), Combo());
  ASSERT_EQ(prompts.All().size(), 1u);  // the picker, no message
  EXPECT_EQ(prompts.All()[0].picker, PickerKind::Open);
  EXPECT_EQ(prompts.All()[0].initialName, "*.*");
}

// Typing into the box starts nothing: no completion, no selection, and Enter
// presses the window's default button as in every other field.
TEST_F(AppTest, TypingANameIntoTheBoxSelectsNothingAndEnterGoesToTheDefaultButton) {
  ChooseBook(MakeBook(dir, {"alpha", "beta", "gamma"}));
  Activate();
  QLineEdit* edit = Combo()->lineEdit();
  for (const char* typed : {"gam", "gamma", "Beta"}) {
    SCOPED_TRACE(typed);
    edit->clear();
    edit->setFocus();
    QTest::keyClicks(edit, typed);
    EXPECT_EQ(edit->text(), typed);
    modal.Then<CKeysDlg>([](CKeysDlg& d) { d.reject(); });
    QTest::keyClick(edit, Qt::Key_Return);
    window.ParamField(1)->setFocus();  // leaving the box
    EXPECT_EQ(window.m_nKeyNumber, 1);
    EXPECT_EQ(window.m_strMasterKeyName, "alpha");
  }
  EXPECT_EQ(modal.Titles(), QStringList(3, "shell_rux KEYS"));
}

// Only the full deleted mark hides a record; picking counts deleted records
// in the number and takes the picked record's texts.
TEST_F(AppTest, DeletedRecordsAreLeftOutAndPickingCountsThem) {
  ChooseBook(MakeBook(dir, {"nnnova", "two", "cl\u00e9"}, {2}));
  EXPECT_EQ(ListEntries(Combo()), QStringList({"nnnova", "cl\u00e9"}));
  PickEntry(Combo(), 1);
  EXPECT_EQ(Child<QLineEdit>(&window, "keyNumber")->text(), "3");
  EXPECT_EQ(window.m_strMasterKeyName, "cl\u00e9");
  EXPECT_EQ(window.m_strKey[0], "cl\u00e9-key1");  // the texts of the record it names
}

TEST_F(AppTest, TwoRecordsOfTheSameNameBothGiveTheFirstNumber) {
  ChooseBook(MakeBook(dir, {"twin", "other", "twin"}));
  PickEntry(Combo(), 1);
  EXPECT_EQ(window.m_nKeyNumber, 2);
  PickEntry(Combo(), 2);
  EXPECT_EQ(window.m_nKeyNumber, 1);
}

TEST_F(AppTest, TheChosenRecordsEntryIsSelectedPastDeletedRecordsAndStays) {
  window.m_strKeyBook = QString::fromStdString(MakeBook(dir, {"one", "two", "three"}, {1}));
  for (const auto& [number, index] : {std::pair{1, -1}, {9, -1}, {3, 1}}) {  // 1 deleted, 9 beyond
    window.m_nKeyNumber = number;
    window.FillMasterKeyList("unused");
    EXPECT_EQ(Combo()->currentIndex(), index) << number;
  }
  window.UpdateData(false);  // as any later refresh does: the entry stays
  EXPECT_EQ(Combo()->currentText(), "three");
  EXPECT_TRUE(prompts.MessageTexts().isEmpty());
}

TEST_F(AppTest, CancellingTheBookPickerWithNoBookAsksForOneWithABookRefillsTheList) {
  Activate();
  prompts.CancelPick();
  window.OnBrowseKeyBook();
  EXPECT_EQ(prompts.MessageTexts(),
            QStringList({"No Master Key present, select one and try again."}));
  EXPECT_EQ(prompts.Captions(), QStringList({"ERROR"}));
  EXPECT_EQ(Focused(), Combo());
  EXPECT_EQ(window.m_nKeyNumber, 0);

  const std::string book = MakeBook(dir, {"alpha", "beta"});
  ChooseBook(book);
  MakeBook(dir, {"alpha", "beta", "gamma"});  // the book grew since
  prompts.Clear();
  prompts.CancelPick();
  window.OnBrowseKeyBook();
  EXPECT_EQ(ListEntries(Combo()), QStringList({"alpha", "beta", "gamma"}));
  EXPECT_TRUE(prompts.MessageTexts().isEmpty());
  EXPECT_EQ(window.m_strKeyBook, QString::fromStdString(book));
}

TEST_F(AppTest, ABookThatCannotBeReadIsReportedAndNothingElseChanges) {
  const std::string book = MakeBook(dir, {"alpha", "beta"});
  ChooseBook(book);
  Activate();
  ChooseBook(dir.File("missing.dat"));
  EXPECT_EQ(prompts.MessageTexts(), QStringList({kBookNotAccessible, kBookNotAccessible}));
  EXPECT_EQ(ListEntries(Combo()), QStringList({"alpha", "beta"}));
  EXPECT_EQ(window.m_strMasterKeyName, "alpha");
  EXPECT_EQ(Focused(), window.ParamField(1));

  window.m_strKeyBook = QString::fromStdString(book);
  window.UpdateData(false);
  std::remove(book.c_str());  // vanishes between two actions
  prompts.Clear();
  PickEntry(Combo(), 1);
  EXPECT_EQ(prompts.MessageTexts(), QStringList({kBookNotAccessible}));
  EXPECT_EQ(window.m_nKeyNumber, 1);
  EXPECT_EQ(window.m_strMasterKeyName, "beta");  // the picked name is still taken
}

}  // namespace
}  // namespace rux::test
