// Choosing a Key Book and a Master Key in the main window.
#include <QComboBox>
#include <QLineEdit>
#include <cstdio>

#include "keys_window_fixture.h"
#include "support/widget_find.h"

namespace rux::test {
namespace {

const QString kBookNotAccessible = "The Key Book is not accessible, access is denied.";
const QString kNoKeyOnBrowse = "No Master Key present, select one and try again.";

using KeyBookBrowse = MainWindowTest;

TEST_F(KeyBookBrowse, ChoosingABookOfThreeSelectsTheFirstRecordAndListsAllNames) {
  const std::string book = MakeBook(dir, {"alpha", "beta", "gamma"});
  Activate();
  ChooseBook(book);

  EXPECT_EQ(window.m_strKeyBook, QString::fromStdString(book));
  EXPECT_EQ(Child<QLineEdit>(&window, "keyBook")->text(), QString::fromStdString(book));
  EXPECT_EQ(window.m_nKeyNumber, 1);
  EXPECT_EQ(Child<QLineEdit>(&window, "keyNumber")->text(), "1");
  EXPECT_EQ(window.m_strMasterKeyName, "alpha");
  EXPECT_EQ(window.m_strKey[0], "alpha-key1");
  EXPECT_EQ(window.m_strKey[9], "alpha-key10");
  EXPECT_EQ(window.m_strKey[10], "5000000000");
  EXPECT_EQ(window.m_strKey[11], "3250000000.01");
  EXPECT_EQ(window.m_nLastKeyRead, 1);
  EXPECT_EQ(ListEntries(Combo()), QStringList({"alpha", "beta", "gamma"}));
  EXPECT_EQ(Combo()->currentText(), "alpha");
  EXPECT_TRUE(prompts.MessageTexts().isEmpty());
  EXPECT_EQ(Focused(), Combo());

  ASSERT_EQ(prompts.All().size(), 1u);
  EXPECT_EQ(prompts.All()[0].picker, PickerKind::Open);
  EXPECT_EQ(prompts.All()[0].initialName, "*.*");
}

TEST_F(KeyBookBrowse, ChoosingAnotherBookReplacesTheListAndReadsItsFirstRecord) {
  ChooseBook(MakeBook(dir, {"alpha", "beta"}, {}, "one.dat"));
  PickEntry(Combo(), 1);
  ChooseBook(MakeBook(dir, {"zeta"}, {}, "two.dat"));

  EXPECT_EQ(ListEntries(Combo()), QStringList({"zeta"}));
  EXPECT_EQ(window.m_nKeyNumber, 1);
  EXPECT_EQ(window.m_strMasterKeyName, "zeta");
  EXPECT_EQ(window.m_strKey[4], "zeta-key5");
}

TEST_F(KeyBookBrowse, AnEmptyBookGivesAnEmptyListAndNoMessage) {
  const std::string book = dir.File("empty.dat");
  WriteBytes(book, "");
  window.m_strKey[0] = "kept";
  ChooseBook(book);

  EXPECT_EQ(Combo()->count(), 0);
  EXPECT_TRUE(prompts.MessageTexts().isEmpty());
  EXPECT_EQ(window.m_nKeyNumber, 1);
  EXPECT_EQ(window.m_strKey[0], "kept");  // no record 1: nothing read
}

TEST_F(KeyBookBrowse, CancelWithNoBookAsksToSelectOneAndFocusesTheList) {
  Activate();
  prompts.CancelPick();
  window.OnBrowseKeyBook();

  EXPECT_EQ(prompts.MessageTexts(), QStringList({kNoKeyOnBrowse}));
  EXPECT_EQ(prompts.Captions(), QStringList({"ERROR"}));
  EXPECT_EQ(prompts.Messages()[0].icon, Icon::Exclamation);
  EXPECT_EQ(Focused(), Combo());
  EXPECT_TRUE(window.m_strKeyBook.isEmpty());
  EXPECT_EQ(window.m_nKeyNumber, 0);
}

TEST_F(KeyBookBrowse, CancelWithABookNamedRefillsItsListFromTheFile) {
  const std::string book = MakeBook(dir, {"alpha", "beta"});
  ChooseBook(book);
  MakeBook(dir, {"alpha", "beta", "gamma"});  // the book grew since
  prompts.CancelPick();
  window.OnBrowseKeyBook();

  EXPECT_EQ(ListEntries(Combo()), QStringList({"alpha", "beta", "gamma"}));
  EXPECT_TRUE(prompts.MessageTexts().isEmpty());
  EXPECT_EQ(window.m_strKeyBook, QString::fromStdString(book));
}

TEST_F(KeyBookBrowse, AnUnreadableBookIsReportedTwiceAndTheListKeepsItsEntries) {
  ChooseBook(MakeBook(dir, {"alpha", "beta"}));
  Activate();
  ChooseBook(dir.File("missing.dat"));

  EXPECT_EQ(prompts.MessageTexts(), QStringList({kBookNotAccessible, kBookNotAccessible}));
  EXPECT_EQ(prompts.Captions(), QStringList({"ERROR", "ERROR"}));
  EXPECT_EQ(ListEntries(Combo()), QStringList({"alpha", "beta"}));
  EXPECT_EQ(Focused(), window.ParamField(1));
  EXPECT_EQ(window.m_strMasterKeyName, "alpha");  // the record read stays as it was
}

using MasterKeyList = MainWindowTest;

TEST_F(MasterKeyList, DeletedRecordsAreLeftOutAndPickingCountsThemInTheNumber) {
  ChooseBook(MakeBook(dir, {"one", "two", "three"}, {2}));
  EXPECT_EQ(ListEntries(Combo()), QStringList({"one", "three"}));

  PickEntry(Combo(), 1);
  EXPECT_EQ(window.m_nKeyNumber, 3);
  EXPECT_EQ(Child<QLineEdit>(&window, "keyNumber")->text(), "3");
  EXPECT_EQ(window.m_strMasterKeyName, "three");
  EXPECT_EQ(window.m_strMasterKeyCombo, "three");
  EXPECT_EQ(window.m_nLastKeyRead, 3);
  EXPECT_EQ(window.m_strKey[0], "one-key1");  // picking changes the number, not the texts
}

TEST_F(MasterKeyList, OnlyTheFullDeletedMarkHidesARecord) {
  ChooseBook(MakeBook(dir, {"nnn", "nnnx"}));
  EXPECT_EQ(ListEntries(Combo()), QStringList({"nnn", "nnnx"}));
}

TEST_F(MasterKeyList, TwoRecordsOfTheSameNameBothGiveTheFirstNumber) {
  ChooseBook(MakeBook(dir, {"twin", "other", "twin"}));
  EXPECT_EQ(ListEntries(Combo()), QStringList({"twin", "other", "twin"}));

  PickEntry(Combo(), 1);
  EXPECT_EQ(window.m_nKeyNumber, 2);
  PickEntry(Combo(), 2);
  EXPECT_EQ(window.m_nKeyNumber, 1);
}

TEST_F(MasterKeyList, TheChosenRecordsEntryIsSelectedPastDeletedRecords) {
  window.m_strKeyBook = QString::fromStdString(MakeBook(dir, {"one", "two", "three", "four"}, {1}));

  window.m_nKeyNumber = 3;
  window.FillMasterKeyList("unused");
  EXPECT_EQ(ListEntries(Combo()), QStringList({"two", "three", "four"}));
  EXPECT_EQ(Combo()->currentIndex(), 1);
  EXPECT_EQ(Combo()->currentText(), "three");
  window.UpdateData(false);  // as any later refresh does: the entry stays
  EXPECT_EQ(Combo()->currentText(), "three");

  window.m_nKeyNumber = 1;  // deleted: it has no entry
  window.FillMasterKeyList("unused");
  EXPECT_EQ(Combo()->currentIndex(), -1);

  window.m_nKeyNumber = 9;  // beyond the book
  window.FillMasterKeyList("unused");
  EXPECT_EQ(Combo()->currentIndex(), -1);
  EXPECT_TRUE(prompts.MessageTexts().isEmpty());
}

TEST_F(MasterKeyList, NamesOutsideAsciiComeFromTheBooksSingleByteText) {
  ChooseBook(MakeBook(dir, {"cl\u00e9", "DON\u00b4T"}));
  EXPECT_EQ(ListEntries(Combo()), QStringList({"cl\u00e9", "DON\u00b4T"}));
  PickEntry(Combo(), 1);
  EXPECT_EQ(window.m_nKeyNumber, 2);
}

TEST_F(MasterKeyList, ABookThatVanishedIsReportedAndTheNumberStays) {
  const std::string book = MakeBook(dir, {"alpha", "beta"});
  ChooseBook(book);
  std::remove(book.c_str());
  Activate();
  PickEntry(Combo(), 1);

  EXPECT_EQ(prompts.MessageTexts(), QStringList({kBookNotAccessible}));
  EXPECT_EQ(window.m_nKeyNumber, 1);
  EXPECT_EQ(window.m_strMasterKeyName, "beta");  // the picked name is still taken
  EXPECT_EQ(Focused(), window.ParamField(1));
}

TEST_F(MasterKeyList, AListFillWithNoBookSelectsByPositionAndFocusesTheList) {
  ChooseBook(MakeBook(dir, {"one", "two"}));
  window.m_strKeyBook.clear();
  window.m_nKeyNumber = 2;
  Activate();
  window.FillMasterKeyList("No Master Key present.");

  EXPECT_EQ(prompts.MessageTexts(), QStringList({"No Master Key present."}));
  EXPECT_EQ(Combo()->currentIndex(), 1);
  EXPECT_EQ(Focused(), Combo());
}

TEST_F(MasterKeyList, ReadingANumberWithNoRecordChangesNothing) {
  ChooseBook(MakeBook(dir, {"alpha"}));
  for (int number : {0, -1, 2, INT_MAX, INT_MIN}) {
    window.m_nKeyNumber = number;
    window.ReadMasterKey();
    EXPECT_EQ(window.m_nLastKeyRead, 1) << number;
    EXPECT_EQ(window.m_strMasterKeyName, "alpha") << number;
  }
  EXPECT_TRUE(prompts.MessageTexts().isEmpty());
}

}  // namespace
}  // namespace rux::test
