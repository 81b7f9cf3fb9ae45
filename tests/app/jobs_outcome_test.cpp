// How a job ends: an engine that ends well, one that fails, one that cannot
// be started, one that is stopped; in both modes, with the job's own error
// number.
#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <csignal>

#include "jobs_fixture.h"
#include "platform/seams/child_process.h"

namespace rux {
namespace {

using test::JobsTest;
using test::kSeparator;
using test::kStamp;

// The texts of the error path of each mode around the engine path.
struct ModeTexts {
  const char* button;
  QString errorBox;
  QString errorEntry;
  QString numberLabel;
};

ModeTexts Encode(const QString& engine) {
  return {"encode", "Process ERROR... " + engine + "...\n",
          "Process ERROR... " + engine + "...\nEncode...ERROR.", "ERROR Nr: "};
}
ModeTexts Decode(const QString& engine) {
  return {"decode", "Process Error... " + engine + "...\nDecoded...ERROR.",
          "Process Error... " + engine + "...\nDecoded...ERROR..", "Error number: "};
}

class OutcomeTest : public JobsTest {
 protected:
  // Runs the job in both modes with the engine path and checks the error
  // path: its box, then the error-number box; its entry, then the number's.
  void ExpectErrorPath(const QString& engine, int number) {
    for (const ModeTexts& mode : {Encode(engine), Decode(engine)}) {
      prompts.Clear();
      window.m_strLog.clear();
      window.UpdateData(false);
      Run(mode.button);
      const QString numberText = mode.numberLabel + QString::number(number);
      ASSERT_EQ(prompts.Messages().size(), 3u) << mode.button;
      EXPECT_EQ(prompts.Messages()[1].text, mode.errorBox);
      EXPECT_EQ(prompts.Messages()[2].text, numberText);
      EXPECT_EQ(prompts.Captions().mid(1), QStringList({"ERROR", "ERROR"}));
      EXPECT_TRUE(window.m_strLog.endsWith("\n DATE: " + kStamp + mode.errorEntry +
                                           "\n DATE: " + kStamp + numberText + kSeparator))
          << window.m_strLog.toStdString();
      EXPECT_EQ(window.LogPanel()->toPlainText(), window.m_strLog);
      EXPECT_EQ(console.events.last(), "release");
      EXPECT_FALSE(console.isOpen);
    }
  }
};

TEST_F(OutcomeTest, EngineEndingWithStatusZeroGivesNoErrorNumber) {
  FillExample();
  Run("encode");
  Run("decode");
  EXPECT_EQ(prompts.Captions(), QStringList({"ENCODE", "OK", "DECODE", "OK"}));
  EXPECT_FALSE(window.m_strLog.contains("ERROR Nr"));
  EXPECT_FALSE(window.m_strLog.contains("Error number"));
  EXPECT_FALSE(window.m_strLog.contains("Process ERROR"));
  EXPECT_FALSE(window.m_strLog.contains("Process Error"));
  EXPECT_EQ(window.m_strLog.count("\n DATE: " + kStamp + "Process OK... "), 2);
}

TEST_F(OutcomeTest, EngineEndingWithAnotherStatusTakesTheErrorPathWithThatStatus) {
  FillExample();
  ::setenv("FAKE_ENGINE_STATUS", "3", 1);
  ExpectErrorPath(FAKE_ENGINE_PATH, 3);
  EXPECT_EQ(Runs().size(), 2u);  // it did run
}

TEST_F(OutcomeTest, MissingEngineGivesErrorNumber2) {
  FillExample();
  const QString engine = QString::fromStdString(dir.File("rux4.exe"));
  SetEnginePath(engine);
  ExpectErrorPath(engine, 2);
}

TEST_F(OutcomeTest, EngineWithoutRunPermissionGivesErrorNumber13) {
  FillExample();
  const std::string file = dir.File("rux4.exe");
  test::WriteBytes(file, "#!/bin/sh\nexit 0\n");
  ::chmod(file.c_str(), 0644);
  SetEnginePath(QString::fromStdString(file));
  ExpectErrorPath(QString::fromStdString(file), 13);
}

TEST_F(OutcomeTest, EngineThatIsAFolderGivesErrorNumber13) {
  FillExample();
  SetEnginePath(QString::fromStdString(dir.Path()));
  ExpectErrorPath(QString::fromStdString(dir.Path()), 13);
}

TEST_F(OutcomeTest, EnginePathOfBlanksCountsAsFilledAndCannotStart) {
  FillExample();
  SetEnginePath("   ");
  ExpectErrorPath("   ", 2);
}

TEST_F(OutcomeTest, StoppedEngineGivesTheErrorPathWith128PlusTheSignal) {
  FillExample();
  ::setenv("FAKE_ENGINE_SLEEP", "30", 1);
  console.duringRun = [](ChildProcess& engine) { engine.Terminate(); };
  ExpectErrorPath(FAKE_ENGINE_PATH, 128 + SIGTERM);
}

TEST_F(OutcomeTest, EnginePathWithBlanksRunsTheEngine) {
  FillExample();
  const QString folder = QString::fromStdString(dir.File("my engines"));
  QDir().mkpath(folder);
  const QString engine = folder + "/rux 4.exe";
  ASSERT_TRUE(QFile::copy(FAKE_ENGINE_PATH, engine));
  SetEnginePath(engine);
  Run("encode");
  EXPECT_EQ(prompts.MessageTexts().last(),
            "Process OK... " + engine + "...OK\nProcess OK... RUX 4.0...OK...\n");
  EXPECT_TRUE(window.m_strLog.contains("\nProgram: " + engine + "\n"));
  ASSERT_EQ(Runs().size(), 1u);
  EXPECT_EQ(Runs()[0], test::ExampleItems("c"));
  EXPECT_EQ(window.m_strEngineCommand, engine);
}

}  // namespace
}  // namespace rux
