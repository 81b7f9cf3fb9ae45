// The built program: many copies at once on one Key Book and one
// configuration, a job whose engine changes the configuration while it runs,
// and writes cut short by a file-size limit.
#include <sys/resource.h>
#include <sys/stat.h>
#include <QProcess>
#include <filesystem>
#include <memory>
#include <set>

#include "cli_fixture.h"

namespace rux::test {
namespace {

// Starts every run, then gives them their standard input, which they read
// before they touch a file: they all go on at about the same moment. No run
// may write a file larger than the limit.
std::vector<CliResult> RunAtOnce(const std::vector<std::pair<QStringList, QByteArray>>& runs,
                                 rlim_t limit = RLIM_INFINITY) {
  std::vector<std::unique_ptr<QProcess>> programs;
  for (const auto& [args, input] : runs) {
    programs.push_back(std::make_unique<QProcess>());
    programs.back()->setChildProcessModifier([limit] {
      const rlimit fileSize{limit, limit};
      ::setrlimit(RLIMIT_FSIZE, &fileSize);
    });
    programs.back()->start(CLI_PATH, args);
  }
  std::vector<CliResult> results;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    EXPECT_TRUE(programs[i]->waitForStarted(120000));
    programs[i]->write(runs[i].second);
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

using Programs = CliTest;

// At once on a book of 20: 80 adds, 10 modifies, 10 deletes; and 15 sets of
// different values of one configuration. Every number printed holds its own
// Master Key, every change is there. Then the shipped engine encodes with
// that configuration while another program changes it.
TEST_F(Programs, NoWriterLosesAnotherOnesChange) {
  const QString qbook = QString::fromStdString(book), qconfig = QString::fromStdString(config);
  WriteBytes(dir.File("plain.txt"), "a line to keep secret\n");
  std::vector<std::optional<MasterKeyRecord>> old;
  for (int r = 1; r <= 20; ++r) old.push_back(KeyRecord("old" + std::to_string(r)));
  MakeBook(book, old);
  ASSERT_EQ(RunCli({"config", "set", config, "keybook=" + book, "number=20",
                    "source=" + dir.File("plain.txt"), "target=" + dir.File("plain.rux")})
                .status,
            0);
  ::chmod(config.c_str(), 0644);
  std::vector<std::pair<QStringList, QByteArray>> runs;
  for (int i = 1; i <= 80; ++i) {
    const QByteArray n = QByteArray::number(i);
    runs.push_back({{"book", "add", qbook}, "name=new" + n + "\nkey1=key of " + n + "\n"});
  }
  for (int r = 1; r <= 10; ++r) {
    runs.push_back({{"book", "modify", qbook, QString::number(10 + r)}, "key2=changed\n"});
    runs.push_back({{"book", "delete", qbook, QString::number(r)}, ""});
  }
  QStringList values = {"verify=" + QString::fromStdString(dir.File("pin"))};
  for (int n = 1; n <= 14; ++n) values << "param" + QString::number(n) + "=set";
  for (const QString& value : values) runs.push_back({{"config", "set", qconfig, value}, {}});
  const std::vector<CliResult> results = RunAtOnce(runs);
  std::set<int> numbers;
  for (int i = 1; i <= 80; ++i) {
    ASSERT_EQ(results[i - 1].status, 0) << results[i - 1].err;
    const int number = std::stoi(results[i - 1].out);
    numbers.insert(number);
    const NamedRecord stored = *ReadFields(book, number).record;
    EXPECT_EQ(stored.name + "/" + stored.fields[0],
              "new" + std::to_string(i) + "/key of " + std::to_string(i));
  }
  EXPECT_EQ(numbers.size(), 80u);
  for (std::size_t i = 80; i < results.size(); ++i)
    EXPECT_EQ(results[i].status, 0) << results[i].err;
  for (int r = 11; r <= 20; ++r) EXPECT_EQ(ReadFields(book, r).record->fields[1], "changed");
  const std::vector<NameEntry> entries = ListNames(book).value();
  EXPECT_EQ(std::count_if(entries.begin(), entries.end(), [](auto& e) { return !e.deleted; }), 90);
  EXPECT_EQ(ReadBytes(book).size() % RECORD_SIZE, 0u);

  const std::string engine = dir.File("engine.sh");
  WriteBytes(engine, "#!/bin/sh\n'" CLI_PATH "' config set '" + config +
                         "' name=changed-while-the-engine-ran\nexec '" RUX4_PATH "' \"$@\"\n");
  ::chmod(engine.c_str(), 0700);
  ASSERT_EQ(RunCli({"config", "set", config, "engine=" + engine}).status, 0);
  const CliResult encoded = RunCli({"run", config, "encode", "--yes"});
  EXPECT_EQ(encoded.status, 0) << encoded.err;
  EXPECT_NE(encoded.out.find("ENCODE: 22 bytes processed, result: OK\n"), std::string::npos)
      << encoded.out;
  const std::string shown = RunCli({"config", "show", config}).out;
  for (const QString& value : values + QStringList{"name=changed-while-the-engine-ran"})
    EXPECT_NE(shown.find(value.toStdString() + "\n"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Process OK... " + engine + "...OK.\n"), std::string::npos) << shown;
  struct stat info {};
  ASSERT_EQ(::stat(config.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 6);
}

// A write cut short by the file-size limit, as on a full disk: reported with
// its reason, and the book and the configuration are byte-for-byte as they were.
TEST_F(Programs, AWriteCutShortLeavesTheFilesAsTheyWere) {
  const QString qbook = QString::fromStdString(book), qconfig = QString::fromStdString(config);
  ASSERT_EQ(RunCli({"book", "add", book}, "name=first\n").out +
                RunCli({"config", "set", config, "name=first"}).out,
            "1\n");
  const std::string before = ReadBytes(book) + ReadBytes(config);
  for (const CliResult& cut :
       RunAtOnce({{{"book", "add", qbook}, "name=second\n"},
                  {{"config", "set", qconfig, "log=-"}, QByteArray(5000, 'x')}},
                 1000)) {
    EXPECT_EQ(cut.status, 1);
    EXPECT_NE(cut.err.find("File too large"), std::string::npos) << cut.err;
  }
  EXPECT_EQ(ReadBytes(book) + ReadBytes(config), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

}  // namespace
}  // namespace rux::test
