// "BOOK / KEY MANAGEMENT": the main window hands its Key Book, Master Key name
// and number to the key management window and takes them back on OK only.
#include <QPushButton>

#include "app/keys_window_fixture.h"
#include "manage/keys_dlg.h"
#include "support/widget_find.h"

namespace rux {
namespace {

using test::ListEntries;
using test::PickEntry;

class KeyManagementTest : public test::MainWindowTest {
 protected:
  void OpenKeyManagement() { test::Child<QPushButton>(&window, "keyManagement")->click(); }
  static QComboBox* KeysList(CKeysDlg& d) { return test::Child<QComboBox>(&d, "masterKeyName"); }
};

TEST_F(KeyManagementTest, OkHandsBackTheChosenBookNameAndNumber) {
  const std::string first = test::MakeBook(dir, {"a1", "a2"}, {}, "first.dat");
  const std::string second = test::MakeBook(dir, {"b1", "b2", "b3"}, {2}, "second.dat");
  ChooseBook(first);
  const auto keysBefore = window.m_strKey;
  prompts.Pick(QString::fromStdString(second));
  modal.Then<CKeysDlg>([&](CKeysDlg& d) {
    EXPECT_EQ(d.m_strKeyBook, QString::fromStdString(first));
    EXPECT_EQ(d.m_strMasterKeyName, "a1");
    EXPECT_EQ(d.m_nKeyNumber, 1);
    test::Child<QPushButton>(&d, "browse")->click();
    PickEntry(KeysList(d), 1);
    d.accept();
  });
  OpenKeyManagement();
  EXPECT_EQ(window.m_strKeyBook, QString::fromStdString(second));
  EXPECT_EQ(window.m_strMasterKeyName, "b3");
  EXPECT_EQ(window.m_nKeyNumber, 3);
  // The main window lists the new book; its key texts wait for the next read.
  EXPECT_EQ(ListEntries(Combo()), QStringList({"b1", "b3"}));
  EXPECT_EQ(window.m_strKey, keysBefore);
  EXPECT_TRUE(prompts.Messages().empty());
}

TEST_F(KeyManagementTest, CancelKeepsTheMainWindowsChoiceAndStillRefreshesItsList) {
  const std::string book = test::MakeBook(dir, {"one", "two"});
  ChooseBook(book);
  test::MakeBook(dir, {"one", "two", "three"});  // changed meanwhile
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    d.RefreshOnRepaint();
    PickEntry(KeysList(d), 2);
    EXPECT_EQ(d.m_nKeyNumber, 3);
    d.reject();
  });
  OpenKeyManagement();
  EXPECT_EQ(window.m_strKeyBook, QString::fromStdString(book));
  EXPECT_EQ(window.m_strMasterKeyName, "one");
  EXPECT_EQ(window.m_nKeyNumber, 1);
  EXPECT_EQ(ListEntries(Combo()), QStringList({"one", "two", "three"}));
}

TEST_F(KeyManagementTest, WithoutABookTheMainWindowSaysSoAfterwards) {
  modal.Then<CKeysDlg>([](CKeysDlg& d) { d.reject(); });
  OpenKeyManagement();
  EXPECT_EQ(prompts.MessageTexts(),
            QStringList({"No Master Key present, select one and try again."}));
  EXPECT_EQ(prompts.Captions(), QStringList({"ERROR"}));
  EXPECT_EQ(modal.Titles(), QStringList({"shell_rux KEYS"}));
}

}  // namespace
}  // namespace rux
