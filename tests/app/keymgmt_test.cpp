// "BOOK / KEY MANAGEMENT": the main window hands its Key Book, Master Key name
// and number to the key management window and takes them back on OK only.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "app_fixture.h"
#include "editing/modify_dlg.h"
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

// What the program writes on its standard output (descriptor 1) from now
// until Stop.
class StandardOutput {
 public:
  explicit StandardOutput(std::string file) : file_(std::move(file)) {
    std::cout.flush();
    std::fflush(stdout);
    saved_ = ::dup(1);
    const int fd = ::open(file_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ::dup2(fd, 1);
    ::close(fd);
  }
  std::string Stop() {
    std::cout.flush();
    std::fflush(stdout);
    ::dup2(saved_, 1);
    ::close(saved_);
    return ReadBytes(file_);
  }

 private:
  std::string file_;
  int saved_ = -1;
};

// The windowed program has no console: its standard output ends up in the
// desktop session's logs. Modify and Delete, which read the record and list
// it for the Key Book code's diagnostics, print nothing there.
TEST_F(AppTest, ModifyAndDeletePrintNothingOnStandardOutput) {
  SetDiagnostics(nullptr);  // as in the program, which installs no diagnostic stream
  const std::string book = MakeBook(dir, {"office", "travel"});
  ChooseBook(book);
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    d.RefreshOnRepaint();
    PickEntry(KeysList(d), 1);
    Child<QPushButton>(&d, "modify")->click();
    Child<QPushButton>(&d, "delete")->click();
    d.accept();
  });
  modal.Then<CModifyDlg>([](CModifyDlg& d) {
    Child<QLineEdit>(&d, "key1")->setText("changed");
    d.accept();
  });
  prompts.Answer(Answer::Ok);  // the delete question
  StandardOutput output(dir.File("stdout"));
  Press("keyManagement");
  EXPECT_EQ(output.Stop(), "");
  EXPECT_EQ(prompts.Captions(), QStringList({"SCRAMBLE", "MODIFY", "DELETE", "DELETED"}));
  EXPECT_EQ(ReadBytes(book).substr(RECORD_SIZE), DeletedMark());
}

}  // namespace
}  // namespace rux::test
