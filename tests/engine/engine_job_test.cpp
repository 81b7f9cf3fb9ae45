// The engine job procedure on a window without widgets, as a program without
// windows runs it: the order of its steps, its refreshes and its clock reads.
#include <QStringList>
#include <array>

#include <gtest/gtest.h>

#include "engine/engine_job.h"
#include "platform/text/timestamp.h"
#include "support/recording_console.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace rux {
namespace {

// Holds the values and records what the job asks of the window.
class PlainWindow : public JobWindow {
 public:
  QString enginePath = FAKE_ENGINE_PATH, command, book = "books.dat", source = "a.txt",
          target = "b.dat", verify, config, log;
  int keyNumber = 3;
  std::array<QString, 14> params;
  QStringList calls, logAtRefresh;

  QString& EnginePath() override { return enginePath; }
  QString& EngineCommand() override { return command; }
  QString& KeyBook() override { return book; }
  int& KeyNumber() override { return keyNumber; }
  QString& SourceFile() override { return source; }
  QString& TargetFile() override { return target; }
  QString& VerifyFile() override { return verify; }
  QString& Param(int n) override { return params[n - 1]; }
  QString& ConfigFile() override { return config; }
  QString& Log() override { return log; }
  void SetParamFieldText(int n, const QString& text) override {
    calls << QString("param%1").arg(n);
    params[n - 1] = text;
  }
  void FocusLog() override { calls << "focus"; }
  void Refresh() override {
    calls << "refresh";
    logAtRefresh << log;
  }
  QWidget* Owner() override { return nullptr; }
};

// A clock that moves on one second at each reading.
class EngineJobTest : public ::testing::Test {
 protected:
  EngineJobTest() {
    SetClock([this] { return kStart + reads++; });
  }
  ~EngineJobTest() override { SetClock({}); }
  static QString Stamp(int second) { return QString::fromStdString(TimeStamp(kStart + second)); }

  static constexpr std::time_t kStart = 1362128707;
  int reads = 0;
  const QString separator = "\n" + QString(75, '_');
  test::ScriptedPrompts prompts;
  test::RecordingConsole console;
  test::TempDir dir;
};

TEST_F(EngineJobTest, RefreshesAfterTheHeaderTheOutcomeAndTheClosingLine) {
  PlainWindow window;
  prompts.Answer(Answer::Ok);
  EngineJob(window, JobMode::Encode);
  QStringList calls{"focus"};
  for (int n = 1; n <= 14; ++n) calls << QString("param%1").arg(n);
  EXPECT_EQ(window.calls, calls << "refresh"
                                << "refresh"
                                << "refresh");
  ASSERT_EQ(window.logAtRefresh.size(), 3);
  EXPECT_TRUE(window.logAtRefresh[0].endsWith("\n _____ENCODING______....Please Wait...._____"));
  EXPECT_EQ(window.logAtRefresh[1], window.logAtRefresh[0] + "\n DATE: " + Stamp(1) +
                                        "Process OK... " FAKE_ENGINE_PATH "...OK.");
  EXPECT_EQ(window.logAtRefresh[2], window.logAtRefresh[1] + separator);
  EXPECT_EQ(reads, 2);  // header, outcome
  EXPECT_EQ(console.events.first(), "open");
  EXPECT_EQ(console.events.last(), "release");
}

TEST_F(EngineJobTest, EncodeReadsTheClockForItsErrorNumberDecodeReusesTheOutcomeStamp) {
  for (JobMode mode : {JobMode::Encode, JobMode::Decode}) {
    reads = 0;
    PlainWindow window;
    window.enginePath = QString::fromStdString(dir.File("no-engine"));
    prompts.Answer(Answer::Ok);
    EngineJob(window, mode);
    const bool encode = mode == JobMode::Encode;
    EXPECT_EQ(reads, encode ? 3 : 2);
    const QString numberEntry = encode ? Stamp(2) + "ERROR Nr: 2" : Stamp(1) + "Error number: 2";
    EXPECT_TRUE(window.log.endsWith("\n DATE: " + numberEntry + separator)) << encode;
    EXPECT_EQ(window.calls.count("refresh"), 4);
  }
}

}  // namespace
}  // namespace rux
