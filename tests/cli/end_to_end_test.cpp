// The built command-line program with the real engine: a Key Book made with
// book add, a configuration made with config set, a file encoded and decoded.
#include <QProcess>

#include "cli_fixture.h"

namespace rux::test {
namespace {

CliResult RunProgram(const QStringList& args, const QByteArray& input = {}) {
  QProcess program;
  program.start(CLI_PATH, args);
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
