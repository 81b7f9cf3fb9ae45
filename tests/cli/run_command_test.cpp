// run CONFIG encode|decode against the stand-in engine: the items it gets, the
// log saved back into the configuration, the exit status and the question.
#include <QFileInfo>
#include <QPushButton>
#include <ctime>

#include "app/config/configuration.h"
#include "app/shellrux_dlg.h"
#include "cli_fixture.h"
#include "platform/text/timestamp.h"
#include "support/recording_console.h"
#include "support/scripted_prompts.h"
#include "support/widget_find.h"

namespace rux::test {
namespace {

// The stand-in engine; Key Book books.dat, Master Key 3, source a.txt, target
// b.dat; the clock at Fri Mar 01 09:05:07 2013 (UTC).
class RunCommand : public CliTest {
 protected:
  RunCommand() {
    example.enginePath = FAKE_ENGINE_PATH;
    example.keyBook = "books.dat";
    example.keyNumber = 3;
    example.sourceFile = "a.txt";
    example.targetFile = "b.dat";
    example.log = "kept\n";
    Write(example);
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    SetClock([] { return std::time_t(1362128707); });
    ::setenv("FAKE_ENGINE_RECORD", record.c_str(), 1);
  }
  ~RunCommand() override {
    SetClock({});
    for (const char* name : {"FAKE_ENGINE_RECORD", "FAKE_ENGINE_STATUS", "TZ"}) ::unsetenv(name);
    ::tzset();
  }
  void Write(const ConfigurationValues& values) {
    WriteBytes(config, ConfigurationBytes(values).toStdString());
  }
  ConfigurationValues Saved() const {
    return *ParseConfiguration(QByteArray::fromStdString(ReadBytes(config)));
  }

  ConfigurationValues example;
  std::string config = dir.File("job.cfg");
  std::string record = dir.File("engine-items");  // each item and a NUL; a line feed per run
};

TEST_F(RunCommand, EncodeRunsTheEngineShowsTheBoxesAsTextAndSavesTheLog) {
  const CliResult run = RunCli({"run", config, "encode", "--yes"});
  EXPECT_EQ(run.status, 0) << run.err;
  std::string items;  // each followed by a NUL
  for (const std::string item : {"books.dat", "3", "c", "a.txt", "b.dat"}) items += item + '\0';
  for (int item = 6; item <= 20; ++item) items += std::string("0\0", 2);
  EXPECT_EQ(ReadBytes(record), items + "\n");
  EXPECT_NE(run.out.find("CODIFICANDO ...RUX..."), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("fake engine: 20 items\n"), std::string::npos) << run.out;
  EXPECT_EQ(run.err,
            "ENCODE: ENCODE:\n\nSource file: a.txt\nTarget file: b.dat\n\nAre you sure? OK\n"
            "OK: Process OK... " FAKE_ENGINE_PATH "...OK\nProcess OK... RUX 4.0...OK...\n\n");
  EXPECT_TRUE(Saved().log.startsWith("kept\n\n" + QString(75, '_') + "\n DATE: Fri Mar 01"));
  EXPECT_TRUE(
      Saved().log.endsWith("Process OK... " FAKE_ENGINE_PATH "...OK.\n" + QString(75, '_')));
}

// The main window, loaded with the same configuration, runs the same job: the
// same items reach the engine and the configuration holds what the window
// would save.
TEST_F(RunCommand, LeavesWhatTheMainWindowLeavesForTheSameConfiguration) {
  for (const auto& [mode, status] : {std::pair{"encode", "0"}, std::pair{"decode", "3"}}) {
    SCOPED_TRACE(mode);
    ::setenv("FAKE_ENGINE_STATUS", status, 1);
    ::unlink(record.c_str());
    ConfigurationValues values = example;
    values.params[1] = "say \"hi\"";
    values.verifyFile = "check";
    Write(values);
    const CliResult run = RunCli({"run", config, mode, "--yes"});
    EXPECT_EQ(run.status, std::atoi(status));
    EXPECT_EQ(run.err.ends_with("\nERROR: Error number: 3\n"), run.status == 3) << run.err;

    ScriptedPrompts prompts;
    RecordingConsole console;
    CShellruxDlg window;
    window.Serialize(values, false);
    window.m_strConfigFile = QFileInfo(QString::fromStdString(config)).absoluteFilePath();
    prompts.Answer(Answer::Ok);
    Child<QPushButton>(&window, mode)->click();
    ConfigurationValues fromWindow;
    window.Serialize(fromWindow, true);
    EXPECT_EQ(Saved(), fromWindow);
    const std::string runs = ReadBytes(record);
    EXPECT_EQ(std::count(runs.begin(), runs.end(), '\n'), 2);
    EXPECT_EQ(runs.substr(0, runs.size() / 2), runs.substr(runs.size() / 2));
  }
}

TEST_F(RunCommand, NothingRunsOrChangesWithoutAnOk) {
  const std::string before = ReadBytes(config);
  // No --yes and no terminal to answer on; then a terminal answering no.
  std::istringstream no("no\n");
  for (std::istream* terminal : std::vector<std::istream*>{nullptr, &no}) {
    const CliResult cancelled = RunCli({"run", config, "encode"}, "yes\n", terminal);
    EXPECT_EQ(cancelled.status, 1);
    EXPECT_EQ(cancelled.out, "");
    EXPECT_NE(cancelled.err.find("Are you sure? [OK/Cancel]"), std::string::npos);
  }
  EXPECT_EQ(ReadBytes(config), before);
  EXPECT_FALSE(Exists(record));
  std::istringstream ok("ok\n");
  EXPECT_EQ(RunCli({"run", config, "encode"}, "", &ok).status, 0);
  EXPECT_TRUE(Exists(record));
}

TEST_F(RunCommand, AnEngineThatCannotStartGivesTheSystemsNumber) {
  example.enginePath = QString::fromStdString(dir.File("no-engine"));
  Write(example);
  EXPECT_EQ(RunCli({"run", config, "encode", "--yes"}).status, 2);  // no such file
  EXPECT_TRUE(Saved().log.contains("ERROR Nr: 2\n"));
}

}  // namespace
}  // namespace rux::test
