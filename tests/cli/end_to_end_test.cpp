// The built command-line program with the real engine: a Key Book made with
// book add, a configuration made with config set, a file encoded and decoded.
// Many copies of it at once on one Key Book and on one configuration.
#include <sys/resource.h>
#include <sys/stat.h>
#include <QProcess>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>

#include "cli_fixture.h"

namespace rux::test {
namespace {

struct ProgramRun {
  QStringList args;
  QByteArray input;
  rlim_t fileSizeLimit = RLIM_INFINITY;  // the program may write no file larger than this
};

// Starts every run, then gives them their standard input, which they read
// before they touch a file: they all go on at about the same moment. Then
// waits for them all.
std::vector<CliResult> RunAtOnce(const std::vector<ProgramRun>& runs) {
  std::vector<std::unique_ptr<QProcess>> programs;
  for (const ProgramRun& run : runs) {
    programs.push_back(std::make_unique<QProcess>());
    programs.back()->setChildProcessModifier([limit = run.fileSizeLimit] {
      const rlimit fileSize{limit, limit};
      ::setrlimit(RLIMIT_FSIZE, &fileSize);
    });
    programs.back()->start(CLI_PATH, run.args);
  }
  for (std::size_t i = 0; i < runs.size(); ++i) {
    EXPECT_TRUE(programs[i]->waitForStarted(120000));
    programs[i]->write(runs[i].input);
    programs[i]->waitForBytesWritten(120000);
    programs[i]->closeWriteChannel();
  }
  std::vector<CliResult> results;
  for (const auto& program : programs) {
    EXPECT_TRUE(program->waitForFinished(120000));
    results.push_back({program->exitStatus() == QProcess::NormalExit ? program->exitCode() : -1,
                       program->readAllStandardOutput().toStdString(),
                       program->readAllStandardError().toStdString()});
  }
  return results;
}

CliResult RunProgram(const QStringList& args, const QByteArray& input = {},
                     rlim_t fileSizeLimit = RLIM_INFINITY) {
  return RunAtOnce({{args, input, fileSizeLimit}}).front();
}

// 80 adds, 10 modifies and 10 deletes at once on a book of 20: every number
// printed holds its own Master Key, every modify and delete is there.
TEST(Concurrent, EveryWriterOfABookFindsItsOwnChange) {
  TempDir dir;
  const std::string path = dir.File("shared.book");
  const QString book = QString::fromStdString(path);
  std::vector<std::optional<MasterKeyRecord>> old;
  for (int r = 1; r <= 20; ++r) old.push_back(KeyRecord("old" + std::to_string(r)));
  MakeBook(path, old);
  std::vector<ProgramRun> runs;
  for (int i = 1; i <= 80; ++i) {
    const QByteArray n = QByteArray::number(i);
    runs.push_back({{"book", "add", book}, "name=new" + n + "\nkey1=key of " + n + "\n"});
  }
  for (int r = 1; r <= 10; ++r) {
    runs.push_back({{"book", "modify", book, QString::number(10 + r)}, "key2=changed\n"});
    runs.push_back({{"book", "delete", book, QString::number(r)}, ""});
  }
  const std::vector<CliResult> results = RunAtOnce(runs);
  std::set<int> numbers;
  for (int i = 1; i <= 80; ++i) {
    const CliResult& added = results[i - 1];
    ASSERT_EQ(added.status, 0) << added.err;
    const int number = std::stoi(added.out);
    numbers.insert(number);
    const std::optional<NamedRecord> stored = ReadFields(path, number).record;
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->name, "new" + std::to_string(i));
    EXPECT_EQ(stored->fields[0], "key of " + std::to_string(i));
  }
  EXPECT_EQ(numbers.size(), 80u);
  for (std::size_t i = 80; i < results.size(); ++i) EXPECT_EQ(results[i].status, 0);
  for (int r = 11; r <= 20; ++r) EXPECT_EQ(ReadFields(path, r).record->fields[1], "changed");
  const std::vector<NameEntry> names = ListNames(path).value();
  EXPECT_EQ(std::count_if(names.begin(), names.end(), [](auto& e) { return !e.deleted; }), 90);
  EXPECT_EQ(ReadBytes(path).size() % RECORD_SIZE, 0u);
}

// 16 sets of different values at once, then a run whose engine sets
// another value while it runs: every value is kept, the run's log entries
// too, and the file is its owner's only.
TEST(Concurrent, EveryWriterOfAConfigurationFindsItsOwnChange) {
  TempDir dir;
  const QString config = QString::fromStdString(dir.File("shared.cfg"));
  ASSERT_EQ(RunProgram({"config", "set", config, "keybook=k", "source=s", "target=t"}).status, 0);
  ::chmod(config.toStdString().c_str(), 0644);
  QStringList names = {"verify", "name"};
  for (int n = 1; n <= 14; ++n) names << "param" + QString::number(n);
  std::vector<ProgramRun> runs;
  for (const QString& name : names) runs.push_back({{"config", "set", config, name + "=set"}, {}});
  for (const CliResult& set : RunAtOnce(runs)) EXPECT_EQ(set.status, 0) << set.err;

  const std::string engine = dir.File("engine.sh");
  WriteBytes(engine, "#!/bin/sh\nexec '" CLI_PATH "' config set '" + config.toStdString() +
                         "' keybook=changed-while-the-engine-ran\n");
  ::chmod(engine.c_str(), 0700);
  ASSERT_EQ(
      RunProgram({"config", "set", config, "engine=" + QString::fromStdString(engine)}).status, 0);
  const CliResult run = RunProgram({"run", config, "encode", "--yes"});
  EXPECT_EQ(run.status, 0) << run.err;

  const std::string shown = RunProgram({"config", "show", config}).out;
  EXPECT_NE(shown.find("keybook=changed-while-the-engine-ran\n"), std::string::npos) << shown;
  for (const QString& name : names) {
    EXPECT_NE(shown.find((name + "=set\n").toStdString()), std::string::npos) << shown;
  }
  EXPECT_NE(shown.find("Process OK... " + engine + "...OK."), std::string::npos) << shown;
  struct stat info {};
  ASSERT_EQ(::stat(config.toStdString().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

// A write cut short by the file-size limit, as on a full disk: reported with
// its reason, and the book and the configuration are byte-for-byte as they were.
TEST(EndToEnd, AWriteCutShortLeavesTheFilesAsTheyWere) {
  TempDir dir;
  const QString book = QString::fromStdString(dir.File("keys.book"));
  const QString config = QString::fromStdString(dir.File("job.cfg"));
  ASSERT_EQ(RunProgram({"book", "add", book}, "name=first\n").out, "1\n");
  ASSERT_EQ(RunProgram({"config", "set", config, "name=first"}).status, 0);
  const std::string bookBefore = ReadBytes(book.toStdString());
  const std::string configBefore = ReadBytes(config.toStdString());
  const CliResult added = RunProgram({"book", "add", book}, "name=second\n", 1000);
  const CliResult set = RunProgram({"config", "set", config, "log=-"}, QByteArray(5000, 'x'), 1000);
  for (const CliResult& cut : {added, set}) {
    EXPECT_EQ(cut.status, 1);
    EXPECT_NE(cut.err.find("File too large"), std::string::npos) << cut.err;
  }
  EXPECT_EQ(ReadBytes(book.toStdString()), bookBefore);
  EXPECT_EQ(ReadBytes(config.toStdString()), configBefore);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

TEST(EndToEnd, EncodesAndDecodesAFileWithAMasterKeyAddedFromStandardInput) {
  TempDir dir;
  const QString book = QString::fromStdString(dir.File("keys.book"));
  const QString config = QString::fromStdString(dir.File("job.cfg"));
  const QString plain = QString::fromStdString(dir.File("plain.txt"));
  const std::string text = "a line to keep secret\n" + std::string(100000, 'x');
  WriteBytes(plain.toStdString(), text);
  EXPECT_EQ(RunProgram({"book", "add", book}, "name=travel\nkey1=first key\nenlarge=3\n").out,
            "1\n");
  EXPECT_EQ(RunProgram({"config", "set", config, "engine=" RUX4_PATH, "keybook=" + book, "number=1",
                        "source=" + plain, "target=" + config + ".rux"})
                .status,
            0);
  const CliResult encoded = RunProgram({"run", config, "encode", "--yes"});
  ASSERT_EQ(encoded.status, 0) << encoded.out << encoded.err;
  EXPECT_NE(encoded.out.find("result: OK"), std::string::npos) << encoded.out;

  EXPECT_EQ(RunProgram({"config", "set", config, "source=" + config + ".rux",
                        "target=" + QString::fromStdString(dir.File("back.txt"))})
                .status,
            0);
  const CliResult decoded = RunProgram({"run", config, "decode", "--yes"});
  ASSERT_EQ(decoded.status, 0) << decoded.out << decoded.err;
  EXPECT_EQ(ReadBytes(dir.File("back.txt")), text);
  // Both jobs are in the log kept in the configuration.
  const std::string shown = RunProgram({"config", "show", config}).out;
  EXPECT_NE(shown.find("Process OK... " RUX4_PATH "...OK."), std::string::npos) << shown;
  EXPECT_NE(shown.find("Decoded OK... RUX 4.0...OK..."), std::string::npos) << shown;
}

}  // namespace
}  // namespace rux::test
