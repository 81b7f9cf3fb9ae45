// The book search: one box per match, in file order, with the user able to
// stop after every hundred.
#include "manage/book_search.h"

#include <gtest/gtest.h>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "editing/book_fixture.h"
#include "manage/keys_dlg.h"
#include "manage/search_dlg.h"
#include "support/modal_script.h"
#include "support/scripted_prompts.h"
#include "support/widget_find.h"

namespace rux {
namespace {

using test::Child;
using test::KeyRecord;
using test::MakeBook;

class SearchTest : public ::testing::Test {
 protected:
  QString Book() const { return QString::fromStdString(book); }

  test::QuietBook quiet;
  test::ScriptedPrompts prompts;
  test::TempDir dir;
  std::string book = dir.File("book.dat");
};

TEST_F(SearchTest, EachMatchIsOneBoxWithItsPlaceAndRecord) {
  MasterKeyRecord third = KeyRecord("c");
  third.keys[1] = "NEEDLE";
  third.keys[9] = "xxNEEDLExx";
  MakeBook(book, {KeyRecord("a"), KeyRecord("b"), third});
  SearchBook(nullptr, Book(), "NEEDLE");
  const int key2 = 2 * RECORD_SIZE + KeyOffset(2);
  const int key10 = 2 * RECORD_SIZE + KeyOffset(10) + 2;
  EXPECT_EQ(prompts.MessageTexts(),
            QStringList({QString("Found at: %1 registry location.3").arg(key2),
                         QString("Found at: %1 registry location.3").arg(key10)}));
  EXPECT_EQ(prompts.Captions(), QStringList({Book(), Book()}));
  EXPECT_EQ(prompts.Messages()[0].icon, Icon::Exclamation);
  EXPECT_EQ(FoundAtText(1440), "Found at: 1440 registry location.3");
}

TEST_F(SearchTest, CaseCountsAndTooLongTextsFindNothing) {
  MakeBook(book, {KeyRecord("NAME")});
  SearchBook(nullptr, Book(), "name");
  SearchBook(nullptr, Book(), QString(RECORD_SIZE + 1, 'N'));
  SearchBook(nullptr, Book(), QString::fromUtf8("\xE4\xB8\xAD"));  // no Windows-1252 byte
  EXPECT_TRUE(prompts.All().empty());
}

TEST_F(SearchTest, AMatchAcrossTwoFieldsIsReported) {
  MakeBook(book, {KeyRecord("abc")});
  SearchBook(nullptr, Book(), QString::fromLatin1("abc\0_", 5));
  EXPECT_EQ(prompts.MessageTexts(), QStringList({"Found at: 0 registry location.1"}));
}

TEST_F(SearchTest, AMissingBookIsCreatedEmptyAndNothingIsSaid) {
  SearchBook(nullptr, Book(), "x");
  EXPECT_TRUE(prompts.All().empty());
  EXPECT_TRUE(test::Exists(book));
  EXPECT_EQ(test::ReadBytes(book), "");
}

TEST_F(SearchTest, TheUserMayStopAfterEveryHundredBoxes) {
  MakeBook(book, {std::nullopt});  // 704 letters n
  prompts.Answer(Answer::Ok).Answer(Answer::Cancel);
  SearchBook(nullptr, Book(), "n");
  const auto messages = prompts.Messages();
  ASSERT_EQ(messages.size(), 202u);
  for (int question : {100, 201}) {
    EXPECT_EQ(messages[question].text, "More matches follow. Show them?");
    EXPECT_EQ(messages[question].caption, Book());
    EXPECT_EQ(messages[question].buttons, Buttons::OkCancel);
    EXPECT_EQ(messages[question].icon, Icon::Exclamation);
  }
  EXPECT_EQ(messages[99].text, "Found at: 99 registry location.1");
  EXPECT_EQ(messages[101].text, "Found at: 100 registry location.1");
  EXPECT_EQ(messages[200].text, "Found at: 199 registry location.1");
}

// A book whose only occurrences of "Q" are the names of its records.
void MakeBookOfQ(const std::string& path, int records) {
  MasterKeyRecord record;
  record.name = "Q";
  record.enlarge = 1;
  record.scramble = 1;
  MakeBook(path, std::vector<std::optional<MasterKeyRecord>>(records, record));
}

TEST_F(SearchTest, NoQuestionWhenNoMoreMatchesFollow) {
  MakeBookOfQ(book, 100);
  SearchBook(nullptr, Book(), "Q");
  EXPECT_EQ(prompts.Messages().size(), 100u);
  EXPECT_FALSE(prompts.MessageTexts().contains("More matches follow. Show them?"));

  prompts.Clear();
  MakeBookOfQ(book, 101);
  prompts.Answer(Answer::Cancel);
  SearchBook(nullptr, Book(), "Q");
  EXPECT_EQ(prompts.Messages().size(), 101u);
  EXPECT_EQ(prompts.MessageTexts().last(), "More matches follow. Show them?");
}

TEST_F(SearchTest, TheEmptyTextMatchesEveryByteUntilTheUserStops) {
  MakeBook(book, {KeyRecord("x")});
  prompts.Answer(Answer::Cancel);
  SearchBook(nullptr, Book(), "");
  EXPECT_EQ(prompts.Messages().size(), 101u);
  EXPECT_EQ(prompts.MessageTexts()[0], "Found at: 0 registry location.1");
}

// Through the key management window's Search button.
class SearchButtonTest : public SearchTest {
 protected:
  // The steps are queued first: the key management window, then what it opens.
  void RunKeys(const std::string& path) {
    CKeysDlg keys;
    keys.m_strKeyBook = QString::fromStdString(path);
    keys.DoModal();
  }
  test::ModalScript modal;
};

TEST_F(SearchButtonTest, TheTypedTextIsSearchedInTheHeldBook) {
  MakeBook(book, {KeyRecord("alpha"), KeyRecord("beta")});
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    d.RefreshOnRepaint();
    Child<QPushButton>(&d, "search")->click();
    d.reject();
  });
  modal.Then<CSearchDlg>([](CSearchDlg& d) {
    EXPECT_EQ(d.windowTitle(), "shell_rux SEARCH");
    EXPECT_EQ(Child<QGroupBox>(&d, "searchGroup")->title(), "Searh on Key Book");
    EXPECT_EQ(Child<QLabel>(&d, "searchLabel")->text(), "Text to Search...");
    QTest::keyClicks(Child<QLineEdit>(&d, "searchText"), "beta-k2");
    d.accept();
  });
  RunKeys(book);
  EXPECT_EQ(
      prompts.MessageTexts(),
      QStringList({QString("Found at: %1 registry location.2").arg(RECORD_SIZE + KeyOffset(2))}));
  EXPECT_EQ(modal.Titles(), QStringList({"shell_rux KEYS", "shell_rux SEARCH"}));
}

TEST_F(SearchButtonTest, CancelSearchesNothing) {
  MakeBook(book, {KeyRecord("alpha")});
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    d.OnSearch();
    d.reject();
  });
  modal.Then<CSearchDlg>([](CSearchDlg& d) {
    QTest::keyClicks(Child<QLineEdit>(&d, "searchText"), "alpha");
    d.reject();
  });
  RunKeys(book);
  EXPECT_TRUE(prompts.All().empty());
}

TEST_F(SearchButtonTest, WithoutABookTheButtonsAreGreyedAndNothingOpens) {
  modal.Then<CKeysDlg>([](CKeysDlg& d) {
    for (const char* name : {"ok", "search", "new", "delete", "modify"}) {
      EXPECT_FALSE(Child<QPushButton>(&d, name)->isEnabled()) << name;
    }
    EXPECT_TRUE(Child<QPushButton>(&d, "cancel")->isEnabled());
    d.OnSearch();
    d.reject();
  });
  RunKeys("");
  EXPECT_TRUE(prompts.All().empty());
  EXPECT_EQ(modal.Titles(), QStringList({"shell_rux KEYS"}));
}

}  // namespace
}  // namespace rux
