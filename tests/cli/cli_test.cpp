// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
// shell_rux-cli: commands in process, byte for byte; the built program many
// times at once and under a file-size limit.
#include <fcntl.h>
#include <sys/file.h>
#include <QProcess>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>

#include <gtest/gtest.h>

#include "cli/cli.h"
#include "editing/book_fixture.h"
#include "platform/files/file_lock.h"
#include "platform/text/timestamp.h"
#include "support/temp_dir.h"

namespace rux::test {
namespace {

struct CliResult {
  int status = -1;
  std::string out, err;
};

CliResult RunCli(const std::vector<std::string>& args, const std::string& input = "",
                 const std::string& terminal = "") {
  std::istringstream in(input), answers(terminal);
  std::ostringstream out, err;
  const int status = cli::Run(args, {in, out, err, terminal.empty() ? nullptr : &answers});
  return {status, out.str(), err.str()};
}

struct Row {
  std::string command;  // words; ~ stands for the test's folder (in err too), '' for no text
  std::string input;
  int status;
  std::string out, err = "", terminal = "";
};

std::string Error(const std::string& message) { return "shell_rux-cli: " + message + "\n"; }

std::vector<std::string> Words(const std::string& command) {
  std::vector<std::string> words;
  std::istringstream in(command);
  for (std::string word; in >> word;) words.push_back(word == "''" ? "" : word);
  return words;
}

// A Key Book of four records, the third deleted; a damaged configuration; the
// stand-in engine records its items; a clock that stands still.
class Commands : public ::testing::Test {
 protected:
  Commands() {
    MasterKeyRecord hostile = KeyRecord("año\x1b]0;\xc2\x81\x07", 5, 0.05);
    hostile.keys = {"\x1b[2J\x7f\t"};
    MakeBook(book, {KeyRecord("zeta"), KeyRecord("two"), std::nullopt, hostile});
    WriteBytes(dir.File("damaged.cfg"), "not a configuration");
    ::setenv("FAKE_ENGINE_RECORD", dir.File("items").c_str(), 1);
    SetClock([] { return std::time_t(1362128707); });
  }
  ~Commands() override {
    SetClock({});
    ::unsetenv("FAKE_ENGINE_RECORD");
    ::unsetenv("FAKE_ENGINE_STATUS");
  }
  CapturedDiagnostics quiet;  // what the Key Book code would print outside a command
  TempDir dir;
  std::string book = dir.File("book.dat"), config = dir.File("job.cfg");

  std::string Paths(std::string text) const {
    for (std::size_t at; (at = text.find('~')) != std::string::npos;)
      text.replace(at, 1, dir.Path());
    return text;
  }
  std::map<std::string, std::string> Files() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
      files[entry.path()] = ReadBytes(entry.path());
    return files;
  }
  // The built program: starts every run (command as in Row, standard input),
  // then gives each its input, which it reads before it touches a file, so that
  // all go on at about the same moment; under a file-size limit in 512-byte blocks.
  std::vector<CliResult> RunAtOnce(const std::vector<std::pair<std::string, std::string>>& runs,
                                   const std::string& blocks = "unlimited") {
    std::vector<std::unique_ptr<QProcess>> programs;
    for (const auto& [command, input] : runs) {
      programs.push_back(std::make_unique<QProcess>());
      programs.back()->start(
          "/bin/sh", {"-c", QString::fromStdString("ulimit -f " + blocks +
                                                   "; exec '" CLI_PATH "' " + Paths(command))});
    }
    std::vector<CliResult> results;
    for (std::size_t i = 0; i < runs.size(); ++i) {
      EXPECT_TRUE(programs[i]->waitForStarted(120000));
      programs[i]->write(QByteArray::fromStdString(runs[i].second));
      programs[i]->waitForBytesWritten(120000);
      programs[i]->closeWriteChannel();
    }
    for (const auto& program : programs) {
      EXPECT_TRUE(program->waitForFinished(120000));
      results.push_back({program->exitStatus() == QProcess::NormalExit ? program->exitCode() : -1,
                         program->readAllStandardOutput().toStdString(),
                         program->readAllStandardError().toStdString()});
    }
    return results;
  }
  void Check(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
      SCOPED_TRACE(row.command + " < " + row.input);
      const auto before = Files();
      CliResult result = RunCli(Words(Paths(row.command)), row.input, row.terminal);
      if (row.command.ends_with("--json")) {
        std::istringstream lines(result.out);
        result.out.clear();
        for (std::string line; std::getline(lines, line);)
          result.out += line.substr(line.find_first_not_of(' '));
      }
      EXPECT_EQ(result.status, row.status);
      EXPECT_EQ(result.out, row.out);
      EXPECT_EQ(result.err, Paths(row.err));
      if (row.status != 0 && row.out.empty()) {
        EXPECT_EQ(Files(), before);
      }
    }
  }
};

// Every command's texts; what add, modify and set store; the help of each.
TEST_F(Commands, CommandsPrintAndStore) {
  std::string keys;  // Key 3 to Key 10, empty
  for (int n = 3; n <= 10; ++n) keys += "key" + std::to_string(n) + "=\n";
  const std::string hostile = "año\\u001b]0;\\u0081\\u0007", last = "4\t" + hostile + "\n";
  const std::string show4 = "\nkey1=\\u001b[2J\\u007f\\u0009\nkey2=";
  const std::string show5 =
      "number=5\nname=NAME_MASTER_KEY\nkey1=\nkey2=\n" + keys +
      "enlarge-stored=0\nscramble-stored=1000000000.01\nscramble=+1.000000000\n";
  const std::string longFields = "name=" + std::string(25, 'n') + "\nkey3=" + std::string(70, 'k');
  std::string params;
  for (int n = 2; n <= 13; ++n) params += "param" + std::to_string(n) + "=\n";
  Check({
      {"book list ~/book.dat", "", 0, "1\tzeta\n2\ttwo\n" + last},
      {"book list ~/book.dat --all", "", 0, "1\tzeta\n2\ttwo\n3\t\tdeleted\n" + last},
      {"book show ~/book.dat 4", "", 0,
       "number=4\nname=" + hostile + show4 + "\n" + keys +
           "enlarge-stored=5000000000\nscramble-stored=5000000000.0-1\nscramble=+.05000000000\n"},
      {"book show ~/book.dat 4 --json", "", 0,
       R"({"enlarge-stored": "5000000000","keys": ["\u001b[2J\u007f\t","","","","","","","","",""],)"
       R"("name": ")" +
           hostile +
           R"(","number": 4,"scramble": "+.05000000000",)"
           R"("scramble-stored": "5000000000.0-1"})"},
      {"book search ~/book.dat ño\x1b", "", 0, "2116\t4\n"},  // in the book's characters
      {"book search ~/book.dat two-k1", "", 0, "725\t2\n1310\t2\n"},
      {"book delete ~/book.dat 2", "", 0, ""},
      {"book add ~/book.dat", "name=new\n", 0, "2\n"},  // into the first deleted slot
      {"book add ~/book.dat", longFields, 0, "3\n",
       "error de longitud en nombre\nerror de longitud en clave3\n"},
      // After the last record, from the new master key window's values.
      {"book add ~/book.dat", "enlarge=abc\n", 0, "5\n",
       "ENLARGE ERROR: Wrong number. Only numeric and  \" , \" \" . \"  characters allowed, try "
       "again.\nERROR: Attention! Error in the Enlarge Key conversion.\n"},
      {"book show ~/book.dat 5", "", 0, show5},
      {"book modify ~/book.dat 4 --json",
       R"({"name": "Ana María", "key2": "ñ€", "scramble": "-3.25e-7"})", 0, ""},
      {"book list ~/book.dat", "", 0,
       "1\tzeta\n2\tnew\n3\t" + std::string(19, 'n') + "\n4\tAna María\n5\tNAME_MASTER_KEY\n"},
      {"book show ~/book.dat 4", "", 0,
       "number=4\nname=Ana María" + show4 + "ñ€\n" + keys +
           "enlarge-stored=5000000000\nscramble-stored=3250000000.1-6\nscramble=-."
           "0000003250000000\n"},
      {"config set ~/job.cfg keybook=/books/año.dat param1=x param14=Ω log=-",
       "line one\n\x1b[2J\xc2\x9b\tx\n", 0, ""},
      {"config show ~/job.cfg", "", 0,
       "keybook=/books/año.dat\nsource=\ntarget=\nverify=\nnumber=0\nname=\nparam1=x\n" + params +
           "param14=Ω\nlog=line one\n\t\\u001b[2J\\u009b\\u0009x\n\t\nengine=rux4.exe\n"},
      {"config show ~/job.cfg --json", "", 0,
       R"({"engine": "rux4.exe","keybook": "/books/año.dat","log": "line one\n\u001b[2J\u009b\tx\n",)"
       R"("name": "","number": 0,"param1": "x","param10": "","param11": "","param12": "",)"
       R"("param13": "","param14": "Ω","param2": "","param3": "","param4": "","param5": "",)"
       R"("param6": "","param7": "","param8": "","param9": "","source": "","target": "",)"
       R"("verify": ""})"},
  });
  const std::string before = ReadBytes(book);
  EXPECT_EQ(RunCli({"book", "modify", book, "4"}).status, 0);  // nothing given: the same bytes
  EXPECT_EQ(ReadBytes(book), before);
  for (const std::string command :
       {"", "book", "book list", "book show", "book add", "book modify", "book delete",
        "book search", "config", "config show", "config set", "run"}) {
    const CliResult help = RunCli(Words(command + " --help"));
    const std::string usage = "usage: shell_rux-cli " + (command.empty() ? "COMMAND" : command);
    EXPECT_TRUE(help.status == 0 && help.err.empty() && help.out.starts_with(usage)) << command;
  }
}

TEST_F(Commands, BadInputFailsWithItsMessageAndChangesNothing) {
  const std::string damaged = "ERROR: The file: ~/damaged.cfg Unexpected file format.";
  const std::string tooLong = "~/" + std::string(300, 'x') + "/c";
  std::vector<Row> rows = {
      {"book list ~/\x1b[2J", "", 1, "", Error("no Key Book at ~/\\u001b[2J")},
      {"book add ~", "", 1, "",
       " Error no se ha abierto el fichero\n" +
           Error("The Key Book could not be written: Is a directory")},
      {"book search ~/book.dat Ω", "", 1, "",
       Error("the text holds characters a Key Book cannot hold")},
      {"config show ~/damaged.cfg", "", 1, "", Error(damaged)},
      {"config set ~/damaged.cfg number=1", "", 1, "", Error(damaged)},
      {"run ~/none decode --yes", "", 1, "",
       Error("ERROR: The file: ~/none is not accessible, access is denied.")},
      {"config set " + tooLong + " number=1", "", 1, "",
       Error("ERROR: The file: " + tooLong + " could not be saved: File name too long")},
      {"", "", 2, "", Error("missing command (try --help)")},
      {"book list", "", 2, "", Error("missing BOOK")},
      {"book delete ~/book.dat 1 --json", "", 2, "", Error("unknown option --json")},
      {"config set ~/job.cfg source=a colour=red", "", 2, "", Error("unknown value name colour")},
      {"config set ~/job.cfg number=3x", "", 2, "", Error("the number must be an integer: 3x")},
      {"run ~/job.cfg encrypt", "", 2, "", Error("the mode must be encode or decode")}};
  for (const std::string verb : {"show", "modify", "delete"}) {
    for (const std::string number : {"0", "-1", "abc", "''", "1x", "99999999999"})
      rows.push_back({"book " + verb + " ~/book.dat " + number, "", 2, "",
                      Error("the record number must be a positive integer: " +
                            (number == "''" ? "" : number))});
    rows.push_back(
        {"book " + verb + " ~/book.dat 5", "", 1, "", Error("no record 5 in ~/book.dat")});
    rows.push_back({"book " + verb + " ~/book.dat 3", "", 1, "", Error("record 3 is deleted")});
  }
  const std::string unfit = " holds a line break or a character a Key Book cannot hold";
  const std::string twice = "field given twice on standard input: key1";
  for (const std::string command : {"book add ~/book.dat", "book modify ~/book.dat 1"}) {
    rows.insert(
        rows.end(),
        {{command, "name=x\ncolour=red\n", 2, "", Error("unknown field on standard input: colour")},
         {command, "key1=a\nkey1=b\n", 2, "", Error(twice)},
         {command, "a key without a name\n", 2, "",
          Error("expected NAME=VALUE lines on standard input")},
         {command, "key2=a\rb\n", 2, "", Error("field key2" + unfit)},
         {command, "name=Ω\n", 2, "", Error("field name" + unfit)},
         {command + " --json", R"({"key1": "a\nb"})", 2, "", Error("field key1" + unfit)},
         {command + " --json", R"({"key1": "a", "key1": "b"})", 2, "", Error(twice)},
         {command + " --json", R"({"key1": 1})", 2, "", Error("field key1 is not a text")},
         {command + " --json", "name=x\n", 2, "", Error("standard input is not one JSON object")}});
  }
  Check(rows);

  // A book another program holds: no wait past the patience, no write.
  const int held = ::open(book.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  LockPatience brief(std::chrono::milliseconds(20));
  const std::string inUse = Error("The Key Book is in use by another program.");
  Check({{"book add ~/book.dat", "name=x\n", 1, "", " Error no se ha abierto el fichero\n" + inUse},
         {"book list ~/book.dat", "", 1, "", inUse}});
  ::close(held);
}

// A job of source a<ESC>.txt, target b.dat in both modes: the boxes on
// standard error as "CAPTION: text", the console on standard output, the
// engine's items.
TEST_F(Commands, RunAsksAndRunsTheEngine) {
  const std::string paths = "\n\nSource file: a\\u001b.txt\nTarget file: b.dat\n\nAre you sure?";
  const std::string ask = "ENCODE: ENCODE:" + paths, fake = "fake engine: 20 items\n\n";
  const std::string encoding =
      "CODIFICANDO ...RUX...\n ENCODING...Wait a moment please\n Source File: a\\u001b.txt\n "
      "Target File: b.dat\n ENCODING...Wait a moment please\n";
  Check({{"config set ~/job.cfg engine=~/none keybook=books.dat number=3 source=a\x1b.txt "
          "target=b.dat param2=say\"hi\"",
          "", 0, ""},
         {"run ~/job.cfg encode --yes", "", 2, encoding,
          ask + " OK\nERROR: Process ERROR... ~/none...\n\nERROR: ERROR Nr: 2\n"},
         {"config set ~/job.cfg engine=" FAKE_ENGINE_PATH, "", 0, ""},
         // Standard input does not answer, nor does a terminal's empty line.
         {"run ~/job.cfg encode", "ok\n", 1, "",
          ask + " [OK/Cancel] \nno terminal to answer on (use --yes): Cancel\n"},
         {"run ~/job.cfg encode", "", 1, "", ask + " [OK/Cancel] ", "\n"},
         {"run ~/job.cfg encode", "", 0, encoding + fake,
          ask + " [OK/Cancel] OK: Process OK... " FAKE_ENGINE_PATH
                "...OK\nProcess OK... RUX 4.0...OK...\n\n",
          "yes\n"}});
  ::setenv("FAKE_ENGINE_STATUS", "3", 1);
  Check({{"run ~/job.cfg decode --yes", "", 3,
          "DECODIFICANDO ...RUX...\n DECODING...Wait a moment please\n Source File: a\\u001b.txt\n "
          "Target File: b.dat\n DECODING...Wait a moment please\n" +
              fake,
          "DECODE: DECODE: " + paths +
              " OK\nERROR: Process Error... " FAKE_ENGINE_PATH
              "...\nDecoded...ERROR.\nERROR: Error number: 3\n"}});
  // The engine's items in both runs, each ended by a NUL (| here).
  std::string items = "books.dat|3|c|a\x1b.txt|b.dat|0|0|say\"hi\"|0|0|0|0|0|0|0|0|0|0|0|0|\n";
  items += std::string(items).replace(12, 1, "d");
  std::replace(items.begin(), items.end(), '|', '\0');
  EXPECT_EQ(ReadBytes(dir.File("items")), items);
}

// On a book of 20, an add and a set cut short by a file-size limit, as on a full
// disk, change nothing. At once: 80 adds, 10 modifies, 10 deletes and 15 sets
// of one configuration lose no change. Then the shipped engine encodes with
// that configuration while another program changes it.
TEST_F(Commands, WritesAtOnceOrCutShortLoseNothing) {
  WriteBytes(dir.File("plain.txt"), "a line to keep secret\n");
  std::vector<std::optional<MasterKeyRecord>> old;
  std::map<std::size_t, std::string> expected, stored;  // number: name/Key 1/Key 2
  for (int r = 1; r <= 20; ++r) {
    const std::string name = "old" + std::to_string(r);
    old.push_back(KeyRecord(name));
    if (r > 10) expected[r] = name + "/" + name + "-k1/changed";
  }
  MakeBook(book, old);
  Check({{"config set ~/job.cfg keybook=~/book.dat number=20 source=~/plain.txt target=~/plain.rux",
          "", 0, ""}});
  std::filesystem::permissions(config, std::filesystem::perms(0644));
  const std::string before = ReadBytes(book) + ReadBytes(config);
  for (const CliResult& cut : RunAtOnce({{"book add ~/book.dat", "name=x\n"},
                                         {"config set ~/job.cfg log=-", std::string(20000, 'x')}},
                                        "28"))
    EXPECT_TRUE(cut.status == 1 && cut.err.ends_with(": File too large\n")) << cut.err;
  EXPECT_EQ(ReadBytes(book) + ReadBytes(config), before);

  std::vector<std::pair<std::string, std::string>> runs;
  for (int i = 1; i <= 80; ++i)
    runs.push_back({"book add ~/book.dat",
                    "name=new" + std::to_string(i) + "\nkey1=key of " + std::to_string(i) + "\n"});
  for (int r = 1; r <= 10; ++r) {
    runs.push_back({"book modify ~/book.dat " + std::to_string(10 + r), "key2=changed\n"});
    runs.push_back({"book delete ~/book.dat " + std::to_string(r), ""});
  }
  std::vector<std::string> values = {"verify=~/pin"};
  for (int n = 1; n <= 14; ++n) values.push_back("param" + std::to_string(n) + "=set");
  for (const std::string& value : values) runs.push_back({"config set ~/job.cfg " + value, ""});
  const std::vector<CliResult> results = RunAtOnce(runs);
  for (const CliResult& result : results) EXPECT_EQ(result.status, 0) << result.err;
  for (int i = 1; i <= 80; ++i)
    expected[std::stoul("0" + results[i - 1].out)] =
        "new" + std::to_string(i) + "/key of " + std::to_string(i) + "/";
  const std::string bytes = ReadBytes(book);
  EXPECT_EQ(bytes.size() % RECORD_SIZE, 0u);
  for (std::size_t at = 0; at < bytes.size(); at += RECORD_SIZE) {
    const NamedRecord r =
        NamedRecordOf(at / RECORD_SIZE + 1, std::string_view(bytes).substr(at, RECORD_SIZE));
    if (!r.deleted) stored[r.number] = r.name + "/" + r.fields[0] + "/" + r.fields[1];
  }
  EXPECT_EQ(stored, expected);

  const std::string engine = dir.File("engine.sh");
  WriteBytes(engine, "#!/bin/sh\necho the engine ran | '" CLI_PATH "' config set '" + config +
                         "' name=changed-while-the-engine-ran log=-\nexec '" RUX4_PATH
                         "' \"$@\"\n");
  std::filesystem::permissions(engine, std::filesystem::perms::owner_all);
  ASSERT_EQ(RunCli({"config", "set", config, "engine=" + engine}).status, 0);
  const CliResult encoded = RunCli({"run", config, "encode", "--yes"});
  EXPECT_TRUE(encoded.status == 0 &&
              encoded.out.find("ENCODE: 22 bytes processed, result: OK\n") != std::string::npos)
      << encoded.err << encoded.out;
  const std::string shown = RunCli({"config", "show", config}).out;
  // The job's entries follow the log as the other program left it.
  values.insert(values.end(), {"name=changed-while-the-engine-ran", "log=the engine ran\n\t\n\t___",
                               "Process OK... ~/engine.sh...OK.\n"});
  for (const std::string& value : values)
    EXPECT_NE(shown.find(Paths(value)), std::string::npos) << value;
  EXPECT_EQ(int(std::filesystem::status(config).permissions()), 0600);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 7);
}

}  // namespace
}  // namespace rux::test
