// Bad input: a message on standard error, the right status, nothing written.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>

#include "app/config/configuration.h"
#include "cli_fixture.h"

namespace rux::test {
namespace {

struct Case {
  std::vector<std::string> args;  // BOOK and CONFIG stand for the files of the test
  std::string input;
  int status;
  std::string message;
};

class BadInput : public CliTest {
 protected:
  BadInput() {
    MakeBook(book, {KeyRecord("one"), std::nullopt, KeyRecord("three")});
    WriteBytes(config, "not a configuration");
  }
  // Each case fails with its status, nothing on standard output and the
  // message on standard error; no file changes and none is added.
  void Check(const std::vector<Case>& cases) {
    const std::string bookBefore = ReadBytes(book);
    const std::string configBefore = ReadBytes(config);
    for (const Case& c : cases) {
      std::vector<std::string> args = c.args;
      for (std::string& a : args) a = a == "BOOK" ? book : a == "CONFIG" ? config : a;
      SCOPED_TRACE(::testing::PrintToString(c.args) + " " + c.input);
      const CliResult result = RunCli(args, c.input);
      EXPECT_EQ(result.status, c.status) << result.err;
      EXPECT_EQ(result.out, "");
      EXPECT_NE(result.err.find("shell_rux-cli: "), std::string::npos) << result.err;
      EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
      EXPECT_EQ(ReadBytes(book), bookBefore);
      EXPECT_EQ(ReadBytes(config), configBefore);
      EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
    }
  }
  std::string config = dir.File("damaged.cfg");
};

TEST_F(BadInput, RecordNumbersAndFieldsOnStandardInput) {
  std::vector<Case> cases;
  for (const char* verb : {"show", "modify", "delete"}) {
    for (const char* number : {"0", "-1", "abc", "", "1x", "99999999999"})
      cases.push_back({{"book", verb, "BOOK", number}, "", 2, "must be a positive integer"});
    cases.push_back({{"book", verb, "BOOK", "4"}, "", 1, "no record 4 in " + book});
    cases.push_back({{"book", verb, "BOOK", "2"}, "", 1, "record 2 is deleted"});
  }
  const Case fields[] = {
      // args: what follows the book and number
      {{}, "name=x\ncolour=red\n", 2, "unknown field on standard input: colour"},
      {{}, "key1=a\nkey1=b\n", 2, "field given twice on standard input: key1"},
      {{}, "a key without a name\n", 2, "expected NAME=VALUE lines"},
      {{}, "key2=a\rb\n", 2, "field key2 holds a line break"},
      {{}, "name=Ω\n", 2, "a character a Key Book cannot hold"},
      {{"--json"}, R"({"key1": "a\nb"})", 2, "field key1 holds a line break"},
      {{"--json"}, R"({"key1": "a", "key1": "b"})", 2, "field given twice on standard input: key1"},
      {{"--json"}, "name=x\n", 2, "not one JSON object"}};
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"book", "add", "BOOK"}, {"book", "modify", "BOOK", "1"}}) {
    for (Case c : fields) {
      c.args.insert(c.args.begin(), command.begin(), command.end());
      cases.push_back(c);
    }
  }
  Check(cases);
}

TEST_F(BadInput, FilesMissingDamagedOrOfTheWrongKindAndUsageErrors) {
  const std::string missing = dir.File("missing");
  const std::string fresh = dir.File("new.cfg");
  const std::string tooLong = dir.File(std::string(300, 'x') + "/c");
  Check({
      {{"book", "list", missing}, "", 1, "no Key Book at " + missing},
      {{"book", "modify", missing, "1"}, "name=x\n", 1, "no Key Book at"},
      {{"book", "add", dir.Path()}, "", 1, "The Key Book could not be written: Is a directory"},
      {{"book", "search", "BOOK", "Ω"}, "", 1, "characters a Key Book cannot hold"},
      {{"config", "show", "CONFIG"}, "", 1, "The file: " + config + " Unexpected file format."},
      {{"config", "set", "CONFIG", "number=1"}, "", 1, "Unexpected file format."},
      {{"run", "CONFIG", "encode", "--yes"}, "", 1, "Unexpected file format."},
      {{"run", missing, "decode", "--yes"}, "", 1, "is not accessible, access is denied."},
      {{"config", "set", tooLong, "number=1"}, "", 1, "could not be saved: File name too long"},
      {{}, "", 2, "missing command"},
      {{"book", "list"}, "", 2, "missing BOOK"},
      {{"book", "delete", "BOOK", "1", "--json"}, "", 2, "unknown option --json"},
      {{"config", "set", fresh, "source=a", "colour=red"}, "", 2, "unknown value name colour"},
      {{"config", "set", fresh, "number=3x"}, "", 2, "the number must be an integer: 3x"},
      {{"run", fresh, "encrypt"}, "", 2, "the mode must be encode or decode"},
  });
}

TEST_F(BadInput, AnOverLongNameOrKeyIsCutWithTheStorageMessages) {
  const CliResult added = RunCli({"book", "add", book},
                                 "name=" + std::string(25, 'n') + "\nkey3=" + std::string(70, 'k'));
  EXPECT_EQ(added.out, "2\n");
  EXPECT_NE(added.err.find("error de longitud en nombre"), std::string::npos) << added.err;
  EXPECT_NE(added.err.find("error de longitud en clave3"), std::string::npos) << added.err;
  EXPECT_EQ(ReadFields(book, 2).record->name, std::string(19, 'n'));
}

TEST_F(BadInput, EveryCommandHasItsHelpOnStandardOutput) {
  for (const std::string command :
       {"", "book", "book list", "book show", "book add", "book modify", "book delete",
        "book search", "config", "config show", "config set", "run"}) {
    std::vector<std::string> args;
    std::istringstream words(command);
    for (std::string word; words >> word;) args.push_back(word);
    args.push_back("--help");
    const CliResult help = RunCli(args);
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_TRUE(
        help.out.starts_with("usage: shell_rux-cli " + (command.empty() ? "COMMAND" : command)))
        << help.out;
  }
}

// Escape sequences a Key Book or a configuration holds reach no terminal:
// control characters (C0, DEL, C1) are shown escaped, in text as in JSON.
TEST_F(BadInput, ControlCharactersOfBooksAndConfigurationsAreShownEscaped) {
  MasterKeyRecord hostile = KeyRecord("\x1b]0;t\x07");
  hostile.keys[0] = "\x1b[2J\x7f\t";
  MakeBook(book, {hostile});
  WriteBytes(book, ReadBytes(book).replace(3, 1, "\x9d"));  // C1 in the file: U+009D
  ConfigurationValues values;
  values.log = QString::fromUtf8("a\tb\x1b[2J\xc2\x9b\nline\n");
  WriteBytes(config, ConfigurationBytes(values).toStdString());
  const auto terminalSafe = [](const std::string& out) {
    for (std::size_t i = 0; i < out.size(); ++i) {
      const auto byte = static_cast<unsigned char>(out[i]);
      if ((byte < 0x20 && byte != '\n' && byte != '\t') || byte == 0x7F) return false;
      if (byte == 0xC2 && i + 1 < out.size() && (out[i + 1] & 0xE0) == 0x80) return false;
    }
    return true;
  };
  const std::string list = RunCli({"book", "list", book}).out;
  EXPECT_EQ(list, "1\t\\u001b]0\\u009dt\\u0007\n");
  const std::string shown = RunCli({"book", "show", book, "1"}).out;
  EXPECT_NE(shown.find("\nkey1=\\u001b[2J\\u007f\\u0009\n"), std::string::npos) << shown;
  const std::string config = RunCli({"config", "show", this->config}).out;
  EXPECT_NE(config.find("\nlog=a\\u0009b\\u001b[2J\\u009b\n\tline\n\t\n"), std::string::npos)
      << config;
  const std::string json = RunCli({"book", "show", book, "1", "--json"}).out;
  for (const std::string& out :
       {list, shown, config, json, RunCli({"config", "show", this->config, "--json"}).out}) {
    EXPECT_TRUE(terminalSafe(out)) << out;
  }
  const QJsonDocument parsed = QJsonDocument::fromJson(QByteArray::fromStdString(json));
  EXPECT_EQ(parsed.object()["keys"].toArray()[0].toString().toStdString(), hostile.keys[0]);
}

}  // namespace
}  // namespace rux::test
