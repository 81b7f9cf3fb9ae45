// config show | set: the 22 values by the main window's field names, and the
// bytes the main window's Save writes. run CONFIG encode|decode against the
// stand-in engine: the items it gets, the log saved back into the
// configuration, the exit status and the question.
#include <sys/stat.h>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
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

// A configuration of a job: the stand-in engine, Key Book books.dat, Master
// Key 3, source a.txt, target b.dat; a clock that stands still.
class ConfigAndRun : public CliTest {
 protected:
  ConfigAndRun() {
    example.enginePath = FAKE_ENGINE_PATH;
    example.keyBook = "books.dat";
    example.keyNumber = 3;
    example.sourceFile = "a.txt";
    example.targetFile = "b.dat";
    example.log = "kept\n";
    Write(example);
    SetClock([] { return std::time_t(1362128707); });
    ::setenv("FAKE_ENGINE_RECORD", record.c_str(), 1);
  }
  ~ConfigAndRun() override {
    SetClock({});
    ::unsetenv("FAKE_ENGINE_RECORD");
    ::unsetenv("FAKE_ENGINE_STATUS");
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

TEST_F(ConfigAndRun, SetChangesTheNamedValuesAndShowNamesEachAsTheMainWindowsField) {
  // Ω is outside Windows-1252: the file then holds 16-bit characters.
  EXPECT_EQ(RunCli({"config", "set", config, "keybook=/books/año.dat", "param1=x", "param14=Ω",
                    "number=12"})
                .status,
            0);
  std::string expected =
      "keybook=/books/año.dat\nsource=a.txt\ntarget=b.dat\nverify=\n"
      "number=12\nname=\nparam1=x\n";
  for (int n = 2; n <= 13; ++n) expected += "param" + std::to_string(n) + "=\n";
  expected += "param14=Ω\nlog=kept\n\t\nengine=" FAKE_ENGINE_PATH "\n";
  const CliResult text = RunCli({"config", "show", config});
  EXPECT_EQ(text.status, 0);
  EXPECT_EQ(text.out, expected);
  const CliResult json = RunCli({"config", "show", config, "--json"});
  const QJsonObject object = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
  EXPECT_EQ(object.size(), 22);
  EXPECT_EQ(object["param14"].toString(), "Ω");
}

// The main window as the user finds it after start-up.
class StartedMainWindow : public CShellruxDlg {
 public:
  StartedMainWindow() { OnInitDialog(); }
};

TEST_F(ConfigAndRun, SetOnANewFileWritesWhatTheMainWindowSavesAfterStartUp) {
  const std::string created = dir.File("new.cfg");
  const CliResult set =
      RunCli({"config", "set", created, "keybook=/books/año.dat", "number=3", "param14=Ω", "log=-"},
             "line one\nline two\n");
  EXPECT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(set.out + set.err, "");
  struct stat info {};
  ASSERT_EQ(::stat(created.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  ScriptedPrompts prompts;
  StartedMainWindow window;
  window.m_strKeyBook = "/books/año.dat";
  window.m_nKeyNumber = 3;
  window.m_strParam[13] = "Ω";
  window.m_strLog = "line one\nline two\n";
  window.UpdateData(false);
  prompts.Pick(QString::fromStdString(dir.File("window.cfg")));
  window.SaveConfiguration();
  EXPECT_EQ(ReadBytes(created), ReadBytes(dir.File("window.cfg")));
}

TEST_F(ConfigAndRun, EncodeRunsTheEngineShowsTheBoxesAsTextAndSavesTheLog) {
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
  EXPECT_TRUE(Saved().log.startsWith("kept\n\n" + QString(75, '_') + "\n DATE: "));
  EXPECT_TRUE(
      Saved().log.endsWith("Process OK... " FAKE_ENGINE_PATH "...OK.\n" + QString(75, '_')));
}

// The main window, loaded with the same configuration, runs the same job: the
// same items reach the engine and the configuration holds what the window
// would save.
TEST_F(ConfigAndRun, LeavesWhatTheMainWindowLeavesForTheSameConfiguration) {
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

TEST_F(ConfigAndRun, NothingRunsOrChangesWithoutAnOk) {
  const std::string before = ReadBytes(config);
  // No --yes and no terminal to answer on (standard input does not answer).
  const CliResult cancelled = RunCli({"run", config, "encode"}, "ok\n");
  EXPECT_EQ(cancelled.status, 1);
  EXPECT_EQ(cancelled.out, "");
  EXPECT_NE(cancelled.err.find("Are you sure? [OK/Cancel]"), std::string::npos);
  EXPECT_EQ(ReadBytes(config), before);
  EXPECT_FALSE(Exists(record));
  // A terminal answering no, then one answering ok.
  std::istringstream no("no\n"), ok("ok\n");
  EXPECT_EQ(RunCli({"run", config, "encode"}, "", &no).status, 1);
  EXPECT_FALSE(Exists(record));
  EXPECT_EQ(RunCli({"run", config, "encode"}, "", &ok).status, 0);
  EXPECT_TRUE(Exists(record));
}

TEST_F(ConfigAndRun, AnEngineThatCannotStartGivesTheSystemsNumber) {
  example.enginePath = QString::fromStdString(dir.File("no-engine"));
  Write(example);
  EXPECT_EQ(RunCli({"run", config, "encode", "--yes"}).status, 2);  // no such file
  EXPECT_TRUE(Saved().log.contains("ERROR Nr: 2\n"));
}

}  // namespace
}  // namespace rux::test
