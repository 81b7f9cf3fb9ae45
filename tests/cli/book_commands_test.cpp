// book list | show | add | modify | delete | search: what each prints and
// what it leaves in the book.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli_fixture.h"

namespace rux::test {
namespace {

using BookCommands = CliTest;

std::string Keys(const std::string& name) {
  std::string lines;
  for (int n = 1; n <= 10; ++n)
    lines += "key" + std::to_string(n) + "=" + name + "-k" + std::to_string(n) + "\n";
  return lines;
}

TEST_F(BookCommands, ListGivesTheLiveRecordsInFileOrderAndAllAddsTheDeleted) {
  MakeBook(book, {KeyRecord("zeta"), std::nullopt, KeyRecord("año"), KeyRecord("")});
  const CliResult live = RunCli({"book", "list", book});
  EXPECT_EQ(live.status, 0);
  EXPECT_EQ(live.out, "1\tzeta\n3\taño\n4\t\n");
  EXPECT_EQ(RunCli({"book", "list", book, "--all"}).out, "1\tzeta\n2\t\tdeleted\n3\taño\n4\t\n");

  WriteBytes(book, "");
  EXPECT_EQ(RunCli({"book", "list", book, "--all"}).out, "");
}

TEST_F(BookCommands, ShowGivesTheStoredTextsAndTheScrambleAsTheModifyWindowShowsIt) {
  MakeBook(book, {KeyRecord("one"), KeyRecord("two", 5, 0.05)});
  const CliResult text = RunCli({"book", "show", book, "2"});
  EXPECT_EQ(text.status, 0);
  EXPECT_EQ(text.out, "number=2\nname=two\n" + Keys("two") +
                          "enlarge-stored=5000000000\n"
                          "scramble-stored=5000000000.0-1\n"
                          "scramble=+.05000000000\n");

  const CliResult json = RunCli({"book", "show", book, "1", "--json"});
  EXPECT_EQ(json.status, 0);
  const QJsonObject object = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
  EXPECT_EQ(object["number"].toInt(), 1);
  EXPECT_EQ(object["name"].toString(), "one");
  EXPECT_EQ(object["keys"].toArray().size(), 10);
  EXPECT_EQ(object["keys"].toArray()[9].toString(), "one-k10");
  EXPECT_EQ(object["enlarge-stored"].toString(), "5000000000");
  EXPECT_EQ(object["scramble-stored"].toString(), "3250000000.01");
  EXPECT_EQ(object["scramble"].toString(), "+3.250000000");
}

TEST_F(BookCommands, AddFillsTheFirstDeletedSlotThenAppendsAndPrintsTheNumberUsed) {
  MakeBook(book, {KeyRecord("one"), std::nullopt, KeyRecord("three"), std::nullopt});
  const std::string input = "name=new\n" + Keys("new") + "enlarge=5\nscramble=3.25\n";
  for (const char* number : {"2\n", "4\n", "5\n"}) {
    const CliResult added = RunCli({"book", "add", book}, input);
    EXPECT_EQ(added.status, 0) << added.err;
    EXPECT_EQ(added.out, number);
  }
  const std::string bytes = ReadBytes(book);
  ASSERT_EQ(bytes.size(), 5u * RECORD_SIZE);
  EXPECT_EQ(RecordOf(bytes, 1), BytesOf(KeyRecord("one")));
  for (int n : {2, 4, 5}) EXPECT_EQ(RecordOf(bytes, n), BytesOf(KeyRecord("new"))) << n;
}

TEST_F(BookCommands, AddWithoutFieldsCreatesTheBookWithTheNewWindowsDefaults) {
  const CliResult added = RunCli({"book", "add", book});
  EXPECT_EQ(added.status, 0);
  EXPECT_EQ(added.out, "1\n");
  MasterKeyRecord expected;
  expected.name = "NAME_MASTER_KEY";
  expected.enlarge = 1;
  expected.scramble = 1;
  EXPECT_EQ(ReadBytes(book), BytesOf(expected));

  EXPECT_EQ(RunCli({"book", "add", book, "--json"}, R"({"key10": "diez", "enlarge": "7"})").out,
            "2\n");
  expected.keys[9] = "diez";
  expected.enlarge = 7;
  EXPECT_EQ(RecordOf(ReadBytes(book), 2), BytesOf(expected));
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

TEST_F(BookCommands, DeleteMarksTheRecordAndTheOthersKeepTheirNumbers) {
  MakeBook(book, {KeyRecord("one"), KeyRecord("two"), KeyRecord("three")});
  const CliResult deleted = RunCli({"book", "delete", book, "2"});
  EXPECT_EQ(deleted.status, 0);
  EXPECT_EQ(deleted.out + deleted.err, "");
  EXPECT_EQ(ReadBytes(book),
            BytesOf(KeyRecord("one")) + DeletedMark() + BytesOf(KeyRecord("three")));
  EXPECT_EQ(RunCli({"book", "list", book}).out, "1\tone\n3\tthree\n");
}

TEST_F(BookCommands, SearchGivesEveryOffsetWithTheRecordHoldingIt) {
  MakeBook(book, {KeyRecord("one"), KeyRecord("two")});
  const CliResult found = RunCli({"book", "search", book, "two-k1"});
  EXPECT_EQ(found.status, 0);
  // Key 1 and Key 10 of record 2.
  EXPECT_EQ(found.out, std::to_string(RECORD_SIZE + KeyOffset(1)) + "\t2\n" +
                           std::to_string(RECORD_SIZE + KeyOffset(10)) + "\t2\n");
  // Across two records: the last filler byte of record 1 and the name of record 2.
  EXPECT_EQ(RunCli({"book", "search", book, "-two"}).out,
            std::to_string(RECORD_SIZE - 1) + "\t1\n");
  const CliResult none = RunCli({"book", "search", book, "absent"});
  EXPECT_EQ(none.status, 0);
  EXPECT_EQ(none.out, "");
}

}  // namespace
}  // namespace rux::test
