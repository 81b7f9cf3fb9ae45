// "BOOK / KEY MANAGEMENT": the main window hands its Key Book, Master Key name
// and number to the key management window and takes them back on OK only.
#include "app_fixture.h"
#include "manage/keys_dlg.h"

namespace rux::test {
namespace {

QComboBox* KeysList(CKeysDlg& d) { return Child<QComboBox>(&d, "masterKeyName"); }

// Cancel keeps the main window's choice but refreshes its list; OK hands back
// the chosen book, name and number; without a book the main window says so.
TEST_F(AppTest, KeyManagementHandsBackItsChoiceOnOkOnly) {
  const std::string first = MakeBook(dir, {"a1", "a2"}, {}, "first.dat");
  const std::string second = MakeBook(dir, {"b1", "b2", "b3"}, {2}, "second.dat");
  ChooseBook(first);
  MakeBook(dir, {"a1", "a2", "a3"}, {}, "first.dat");  // changed meanwhile
  const auto keysBefore = window.m_strKey;
  prompts.Pick(QString::fromStdString(second));
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    d.RefreshOnRepaint();
    PickEntry(KeysList(d), 2);
    d.reject();
  });
  modal.Then<CKeysDlg>([&](CKeysDlg& d) {
    EXPECT_EQ(d.m_strKeyBook, QString::fromStdString(first));
    EXPECT_EQ(d.m_strMasterKeyName, "a1");
    EXPECT_EQ(d.m_nKeyNumber, 1);
    Child<QPushButton>(&d, "browse")->click();
    PickEntry(KeysList(d), 1);
    d.accept();
  });
  modal.Then<CKeysDlg>([](CKeysDlg& d) { d.reject(); });
  Press("keyManagement");
  EXPECT_EQ(window.m_nKeyNumber, 1);
  EXPECT_EQ(ListEntries(Combo()), QStringList({"a1", "a2", "a3"}));
  Press("keyManagement");
  EXPECT_EQ(window.m_strKeyBook, QString::fromStdString(second));
  EXPECT_EQ(window.m_strMasterKeyName, "b3");
  EXPECT_EQ(window.m_nKeyNumber, 3);
  // The main window lists the new book; its key texts wait for the next read.
  EXPECT_EQ(ListEntries(Combo()), QStringList({"b1", "b3"}));
  EXPECT_EQ(window.m_strKey, keysBefore);
  EXPECT_TRUE(prompts.Messages().empty());
  window.m_strKeyBook.clear();
  window.UpdateData(false);
  Press("keyManagement");
  EXPECT_EQ(prompts.MessageTexts(),
            QStringList({"No Master Key present, select one and try again."}));
  EXPECT_EQ(prompts.Captions(), QStringList({"ERROR"}));
}

}  // namespace
}  // namespace rux::test
