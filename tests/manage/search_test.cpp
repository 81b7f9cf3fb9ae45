// The book search: one box per match, in file order, with the user able to
// stop after every hundred; and the search window opened from the key
// management window.
#include "manage/book_search.h"

#include <QGroupBox>
#include <QLabel>

#include "manage/keys_fixture.h"
#include "manage/search_dlg.h"

namespace rux {
namespace {

using test::Child;
using test::KeyRecord;
using test::MakeBook;

const QString kMore = "More matches follow. Show them?";

class SearchTest : public test::KeysTest {
 protected:
  QStringList Search(const QString& text) {
    prompts.Clear();
    SearchBook(nullptr, Book(), text);
    return prompts.MessageTexts();
  }
};

TEST_F(SearchTest, EachMatchIsOneBoxWithItsPlaceAndRecord) {
  MasterKeyRecord third = KeyRecord("c");
  third.keys[1] = "NEEDLE";
  third.keys[9] = "xxNEEDLExx";
  MakeBook(book, {KeyRecord("abc"), KeyRecord("b"), third});
  EXPECT_EQ(
      Search("NEEDLE"),
      QStringList(
          {QString("Found at: %1 registry location.3").arg(2 * RECORD_SIZE + KeyOffset(2)),
           QString("Found at: %1 registry location.3").arg(2 * RECORD_SIZE + KeyOffset(10) + 2)}));
  EXPECT_EQ(prompts.Captions(), QStringList({Book(), Book()}));
  EXPECT_EQ(prompts.Messages()[0].icon, Icon::Exclamation);
  // Across the end of a field into the next.
  EXPECT_EQ(Search(QString::fromLatin1("abc\0_", 5)),
            QStringList({"Found at: 0 registry location.1"}));
  // Case counts; longer than the book, or nothing Windows-1252 can hold: no match.
  for (const QString& text :
       {QString("needle"), QString(4 * RECORD_SIZE, 'N'), QString::fromUtf8("\xE4\xB8\xAD")})
    EXPECT_TRUE(Search(text).isEmpty()) << text.size();
}

TEST_F(SearchTest, AfterEveryHundredBoxesTheUserMayStop) {
  MasterKeyRecord q;  // its only "Q" is its name
  q.name = "Q";
  q.enlarge = q.scramble = 1;
  const struct {
    int records;
    std::vector<Answer> answers;
    int boxes;  // matches and questions
  } cases[] = {
      {100, {}, 100}, {101, {Answer::Cancel}, 101}, {201, {Answer::Ok, Answer::Cancel}, 202}};
  for (const auto& c : cases) {
    MakeBook(book, std::vector<std::optional<MasterKeyRecord>>(c.records, q));
    for (Answer answer : c.answers) prompts.Answer(answer);
    const QStringList texts = Search("Q");
    ASSERT_EQ(texts.size(), c.boxes) << c.records;
    EXPECT_EQ(texts.count(kMore), int(c.answers.size())) << c.records;
  }
  EXPECT_EQ(prompts.MessageTexts()[99], "Found at: 69795 registry location.100");
  EXPECT_EQ(prompts.MessageTexts()[101], "Found at: 70500 registry location.101");
  for (int question : {100, 201}) {
    const test::Prompt asked = prompts.Messages()[question];
    EXPECT_EQ(asked.text, kMore);
    EXPECT_EQ(asked.caption, Book());
    EXPECT_EQ(asked.buttons, Buttons::OkCancel);
    EXPECT_EQ(asked.icon, Icon::Exclamation);
  }
  // The empty text matches every byte.
  prompts.Answer(Answer::Cancel);
  EXPECT_EQ(Search("").size(), 101);
}

TEST_F(SearchTest, TheSearchButtonSearchesTheTypedTextInTheHeldBook) {
  MakeBook(book, {KeyRecord("alpha"), KeyRecord("beta")});
  for (bool confirm : {false, true}) {
    modal.Then<CKeysDlg>([](CKeysDlg& d) {
      Button(d, "search")->click();
      d.reject();
    });
    modal.Then<CSearchDlg>([confirm](CSearchDlg& d) {
      EXPECT_EQ(d.windowTitle(), "shell_rux SEARCH");
      EXPECT_EQ(Child<QGroupBox>(&d, "searchGroup")->title(), "Searh on Key Book");
      EXPECT_EQ(Child<QLabel>(&d, "searchLabel")->text(), "Text to Search...");
      QTest::keyClicks(Child<QLineEdit>(&d, "searchText"), "beta-k2");
      confirm ? d.accept() : d.reject();
    });
    RunKeys(book);
  }
  EXPECT_EQ(
      prompts.MessageTexts(),
      QStringList({QString("Found at: %1 registry location.2").arg(RECORD_SIZE + KeyOffset(2))}));
}

}  // namespace
}  // namespace rux
