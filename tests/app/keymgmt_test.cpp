// "BOOK / KEY MANAGEMENT": the main window hands its Key Book, Master Key name
// and number to the key management window and takes them back on OK only.
#include "app_fixture.h"
#include "manage/keys_dlg.h"

namespace rux::test {
namespace {

QComboBox* KeysList(CKeysDlg& d) { return Child<QComboBox>(&d, "masterKeyName"); }

TEST_F(AppTest, KeyManagementOkHandsBackTheChosenBookNameAndNumber) {
  const std::string first = MakeBook(dir, {"a1", "a2"}, {}, "first.dat");
  const std::string second = MakeBook(dir, {"b1", "b2", "b3"}, {2}, "second.dat");
  ChooseBook(first);
  const auto keysBefore = window.m_strKey;
  prompts.Pick(QString::fromStdString(second));
  modal.Then<CKeysDlg>([&](CKeysDlg& d) {
    EXPECT_EQ(d.m_strKeyBook, QString::fromStdString(first));
    EXPECT_EQ(d.m_strMasterKeyName, "a1");
    EXPECT_EQ(d.m_nKeyNumber, 1);
    Child<QPushButton>(&d, "browse")->click();
    PickEntry(KeysList(d), 1);
    d.accept();
  });
  Press("keyManagement");
  EXPECT_EQ(window.m_strKeyBook, QString::fromStdString(second));
  EXPECT_EQ(window.m_strMasterKeyName, "b3");
  EXPECT_EQ(window.m_nKeyNumber, 3);
  // The main window lists the new book; its key texts wait for the next read.
  EXPECT_EQ(ListEntries(Combo()), QStringList({"b1", "b3"}));
  EXPECT_EQ(window.m_strKey, keysBefore);
  EXPECT_TRUE(prompts.Messages().empty());
}

TEST_F(AppTest, KeyManagementCancelKeepsTheChoiceAndStillRefreshesTheList) {
  const std::string book = MakeBook(dir, {"one", "two"});
  ChooseBook(book);
  MakeBook(dir, {"one", "two", "three"});  // changed meanwhile
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    d.RefreshOnRepaint();
    PickEntry(KeysList(d), 2);
    d.reject();
  });
  Press("keyManagement");
  EXPECT_EQ(window.m_strMasterKeyName, "one");
  EXPECT_EQ(window.m_nKeyNumber, 1);
  EXPECT_EQ(ListEntries(Combo()), QStringList({"one", "two", "three"}));

  window.m_strKeyBook.clear();  // without a book the main window says so afterwards
  window.UpdateData(false);
  modal.Then<CKeysDlg>([](CKeysDlg& d) { d.reject(); });
  Press("keyManagement");
  EXPECT_EQ(prompts.MessageTexts(),
            QStringList({"No Master Key present, select one and try again."}));
  EXPECT_EQ(prompts.Captions(), QStringList({"ERROR"}));
}

}  // namespace
}  // namespace rux::test
