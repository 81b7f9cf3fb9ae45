// book list | show | add | modify | delete | search: what each prints and
// what it leaves in the book.
#include <QJsonDocument>
#include <QJsonObject>

#include "cli_fixture.h"

namespace rux::test {
namespace {

using BookCommands = CliTest;

TEST_F(BookCommands, DeleteMarksTheRecordListAndSearchShowWhatIsLeft) {
  MakeBook(book, {KeyRecord("zeta"), KeyRecord("two"), KeyRecord("año"), KeyRecord("")});
  const CliResult deleted = RunCli({"book", "delete", book, "2"});
  EXPECT_EQ(deleted.status, 0);
  EXPECT_EQ(deleted.out + deleted.err, "");
  EXPECT_EQ(RecordOf(ReadBytes(book), 2), DeletedMark());
  const CliResult live = RunCli({"book", "list", book});
  EXPECT_EQ(live.status, 0);
  EXPECT_EQ(live.out, "1\tzeta\n3\taño\n4\t\n");
  EXPECT_EQ(RunCli({"book", "list", book, "--all"}).out, "1\tzeta\n2\t\tdeleted\n3\taño\n4\t\n");
  // Key 1 and Key 10 of record 3.
  EXPECT_EQ(RunCli({"book", "search", book, "año-k1"}).out,
            std::to_string(2 * RECORD_SIZE + KeyOffset(1)) + "\t3\n" +
                std::to_string(2 * RECORD_SIZE + KeyOffset(10)) + "\t3\n");
}

TEST_F(BookCommands, ShowGivesTheStoredTextsAndTheScrambleAsTheModifyWindowShowsIt) {
  MakeBook(book, {KeyRecord("one"), KeyRecord("two", 5, 0.05)});
  std::string keys;
  for (int n = 1; n <= 10; ++n)
    keys += "key" + std::to_string(n) + "=two-k" + std::to_string(n) + "\n";
  const CliResult text = RunCli({"book", "show", book, "2"});
  EXPECT_EQ(text.status, 0);
  EXPECT_EQ(text.out, "number=2\nname=two\n" + keys +
                          "enlarge-stored=5000000000\nscramble-stored=5000000000.0-1\n"
                          "scramble=+.05000000000\n");
  const CliResult json = RunCli({"book", "show", book, "1", "--json"});
  const QJsonObject object = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
  EXPECT_EQ(object["scramble-stored"].toString(), "3250000000.01");
  EXPECT_EQ(object["scramble"].toString(), "+3.250000000");
}

TEST_F(BookCommands, AddFillsTheFirstDeletedSlotThenAppends) {
  MakeBook(book, {KeyRecord("one"), std::nullopt});
  EXPECT_EQ(RunCli({"book", "add", book}, "name=new\n").out, "2\n");
  EXPECT_EQ(RunCli({"book", "add", book}, "name=new\n").out, "3\n");
  EXPECT_EQ(ReadBytes(book).size(), 3u * RECORD_SIZE);
  EXPECT_EQ(RecordOf(ReadBytes(book), 2), RecordOf(ReadBytes(book), 3));
}

TEST_F(BookCommands, ModifyWithNothingGivenRewritesTheSameBytes) {
  for (double scramble : {3.25, 0.05, -2.0, 3.25e12, 1e-12, 1e300}) {
    MakeBook(book, {KeyRecord("one", 0.5, scramble), KeyRecord("two", 9.87654321e20, scramble)});
    const std::string before = ReadBytes(book);
    for (const char* number : {"1", "2"}) {
      EXPECT_EQ(RunCli({"book", "modify", book, number}).status, 0);
      EXPECT_EQ(ReadBytes(book), before) << scramble << " in record " << number;
    }
  }
}

}  // namespace
}  // namespace rux::test
