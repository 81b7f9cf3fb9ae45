// The built command-line program with the real engine: a Key Book made with
// book add, a configuration made with config set, a file encoded and decoded.
#include <QProcess>

#include "cli_fixture.h"

namespace rux::test {
namespace {

CliResult RunProgram(const QStringList& args, const QByteArray& input = {}) {
  QProcess program;
  program.start(CLI_PATH, args);
  EXPECT_TRUE(program.waitForStarted(10000));
  program.write(input);
  program.closeWriteChannel();
  EXPECT_TRUE(program.waitForFinished(120000));
  return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
          program.readAllStandardOutput().toStdString(),
          program.readAllStandardError().toStdString()};
}

TEST(EndToEnd, EncodesAndDecodesAFileWithAMasterKeyAddedFromStandardInput) {
  TempDir dir;
  const QString book = QString::fromStdString(dir.File("keys.book"));
  const QString config = QString::fromStdString(dir.File("job.cfg"));
  const std::string plain = dir.File("plain.txt");
  const std::string text = "a line to keep secret\n" + std::string(100000, 'x');
  WriteBytes(plain, text);

  const CliResult added =
      RunProgram({"book", "add", book}, "name=travel\nkey1=first key\nkey2=second\nenlarge=3\n");
  ASSERT_EQ(added.status, 0) << added.err;
  EXPECT_EQ(added.out, "1\n");
  EXPECT_EQ(RunProgram({"book", "list", book}).out, "1\ttravel\n");

  const auto set = [&](const QStringList& values) {
    const CliResult result = RunProgram(QStringList{"config", "set", config} + values);
    ASSERT_EQ(result.status, 0) << result.err;
  };
  set({"engine=" RUX4_PATH, "keybook=" + book, "number=1",
       "source=" + QString::fromStdString(plain), "target=" + config + ".rux"});
  const CliResult encoded = RunProgram({"run", config, "encode", "--yes"});
  ASSERT_EQ(encoded.status, 0) << encoded.out << encoded.err;
  EXPECT_NE(encoded.out.find("result: OK"), std::string::npos) << encoded.out;
  EXPECT_EQ(ReadBytes(dir.File("job.cfg.rux")).find("a line to keep secret"), std::string::npos);

  set({"source=" + config + ".rux", "target=" + QString::fromStdString(dir.File("back.txt"))});
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
