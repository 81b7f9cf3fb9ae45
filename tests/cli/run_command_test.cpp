// run CONFIG encode|decode against the stand-in engine: the items it gets, the
// log saved back into the configuration, the exit status and the question.
#include <QFileInfo>

#include "app/config/configuration.h"
#include "app/jobs_fixture.h"
#include "cli_fixture.h"

namespace rux::test {
namespace {

class RunCommand : public CliTest {
 protected:
  RunCommand() {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    SetClock([] { return std::time_t(1362128707); });
    ::setenv("FAKE_ENGINE_RECORD", record.c_str(), 1);
  }
  ~RunCommand() override {
    SetClock({});
    ::unsetenv("FAKE_ENGINE_RECORD");
    ::unsetenv("FAKE_ENGINE_STATUS");
  }

  // Engine, Key Book books.dat, Master Key 3, source a.txt, target b.dat.
  static ConfigurationValues Example(const QString& engine = FAKE_ENGINE_PATH) {
    ConfigurationValues values;
    values.enginePath = engine;
    values.keyBook = "books.dat";
    values.keyNumber = 3;
    values.sourceFile = "a.txt";
    values.targetFile = "b.dat";
    values.log = "kept\n";
    return values;
  }
  void Write(const ConfigurationValues& values) {
    WriteBytes(config, ConfigurationBytes(values).toStdString());
  }
  ConfigurationValues Saved() const {
    return *ParseConfiguration(QByteArray::fromStdString(ReadBytes(config)));
  }

  std::string config = dir.File("job.cfg");
  std::string record = dir.File("engine-items");
};

TEST_F(RunCommand, EncodeRunsTheEngineWithTheTwentyItemsAndSavesTheLog) {
  Write(Example());
  const CliResult run = RunCli({"run", config, "encode", "--yes"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(RecordedRuns(record), std::vector<std::vector<std::string>>{ExampleItems("c")});
  EXPECT_NE(run.out.find("CODIFICANDO ...RUX..."), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\n Source File: a.txt"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("fake engine: 20 items\n"), std::string::npos) << run.out;
  EXPECT_TRUE(
      run.err.starts_with("ENCODE: ENCODE:\n\nSource file: a.txt\nTarget file: b.dat\n\n"
                          "Are you sure? OK\n"))
      << run.err;
  EXPECT_NE(run.err.find("\nOK: Process OK... " FAKE_ENGINE_PATH "...OK\n"), std::string::npos)
      << run.err;

  // The log entries themselves: see the comparison with the main window below.
  EXPECT_TRUE(Saved().log.startsWith("kept\n" + kSeparator));
}

// The main window, loaded with the same configuration, runs the same job: the
// same items reach the engine and the saved configuration holds what the
// window would save.
TEST_F(RunCommand, LeavesWhatTheMainWindowLeavesForTheSameConfiguration) {
  for (const char* status : {"0", "3"}) {
    for (const char* mode : {"encode", "decode"}) {
      ::setenv("FAKE_ENGINE_STATUS", status, 1);
      ::unlink(record.c_str());
      ConfigurationValues values = Example();
      values.params[1] = "say \"hi\"";
      values.verifyFile = "check";
      Write(values);
      EXPECT_EQ(RunCli({"run", config, mode, "--yes"}).status, std::atoi(status));

      ScriptedPrompts prompts;
      RecordingConsole console;
      CShellruxDlg window;
      window.Serialize(values, false);
      window.m_strConfigFile = QFileInfo(QString::fromStdString(config)).absoluteFilePath();
      prompts.Answer(Answer::Ok);
      Child<QPushButton>(&window, mode)->click();
      ConfigurationValues fromWindow;
      window.Serialize(fromWindow, true);
      EXPECT_EQ(Saved(), fromWindow) << mode << " " << status;
      const auto runs = RecordedRuns(record);
      ASSERT_EQ(runs.size(), 2u);
      EXPECT_EQ(runs[0], runs[1]);
    }
  }
}

TEST_F(RunCommand, ExitStatusIsTheJobsErrorNumber) {
  ::setenv("FAKE_ENGINE_STATUS", "7", 1);
  Write(Example());
  const CliResult failed = RunCli({"run", config, "decode", "--yes"});
  EXPECT_EQ(failed.status, 7);
  EXPECT_NE(failed.err.find("\nERROR: Error number: 7\n"), std::string::npos) << failed.err;
  EXPECT_TRUE(Saved().log.contains(kStamp + "Error number: 7" + kSeparator));

  // No engine at the path: the system's "no such file" number.
  Write(Example(QString::fromStdString(dir.File("no-engine"))));
  const CliResult missing = RunCli({"run", config, "encode", "--yes"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_TRUE(Saved().log.contains("ERROR Nr: 2" + kSeparator));
}

TEST_F(RunCommand, NothingRunsOrChangesWithoutAnOkOrWithoutTheMandatoryValues) {
  Write(Example());
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
  ConfigurationValues noSource = Example();
  noSource.sourceFile = "";
  Write(noSource);
  const std::string withoutSource = ReadBytes(config);
  EXPECT_EQ(RunCli({"run", config, "encode", "--yes"}).status, 1);
  EXPECT_EQ(ReadBytes(config), withoutSource);
  EXPECT_FALSE(Exists(record));

  // A terminal answering ok runs the job.
  Write(Example());
  std::istringstream ok("ok\n");
  EXPECT_EQ(RunCli({"run", config, "encode"}, "", &ok).status, 0);
  EXPECT_EQ(RecordedRuns(record).size(), 1u);
  EXPECT_NE(ReadBytes(config), before);
}

}  // namespace
}  // namespace rux::test
