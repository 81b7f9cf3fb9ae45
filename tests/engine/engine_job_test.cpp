// The engine job procedure on a window without widgets, as a program without
// windows runs it: the order of its steps, its refreshes and its clock reads.
#include <QString>
#include <QStringList>
#include <array>
#include <cstdlib>
#include <ctime>

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
  QString enginePath = FAKE_ENGINE_PATH, engineCommand = "rux4.exe", keyBook = "books.dat";
  int keyNumber = 3;
  QString source = "a.txt", target = "b.dat", verify, config, log;
  std::array<QString, 14> params;
  QStringList calls;
  QStringList logAtRefresh;

  QString& EnginePath() override { return enginePath; }
  QString& EngineCommand() override { return engineCommand; }
  QString& KeyBook() override { return keyBook; }
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

QStringList FocusAndParams() {
  QStringList calls{"focus"};
  for (int n = 1; n <= 14; ++n) calls << QString("param%1").arg(n);
  return calls;
}

// A clock that moves on one second at each reading, in UTC.
class SteppingClock {
 public:
  SteppingClock() {
    if (const char* tz = std::getenv("TZ")) savedTz_ = tz;
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    SetClock([this] { return 1362128707 + reads_++; });  // Fri Mar 01 09:05:07 2013
  }
  ~SteppingClock() {
    SetClock({});
    if (savedTz_.empty())
      ::unsetenv("TZ");
    else
      ::setenv("TZ", savedTz_.c_str(), 1);
    ::tzset();
  }
  int Reads() const { return reads_; }

 private:
  int reads_ = 0;
  std::string savedTz_;
};

TEST(EngineJob, RefreshesAfterTheHeaderTheOutcomeAndTheClosingLine) {
  test::ScriptedPrompts prompts;
  test::RecordingConsole console;
  SteppingClock clock;
  PlainWindow window;
  prompts.Answer(Answer::Ok);
  EngineJob(window, JobMode::Encode);
  EXPECT_EQ(window.calls, FocusAndParams() << "refresh"
                                           << "refresh"
                                           << "refresh");
  ASSERT_EQ(window.logAtRefresh.size(), 3);
  EXPECT_TRUE(window.logAtRefresh[0].endsWith("\n _____ENCODING______....Please Wait...._____"));
  EXPECT_TRUE(window.logAtRefresh[1].endsWith(
      "\n DATE: Fri Mar 01 09:05:08 2013\nProcess OK... " FAKE_ENGINE_PATH "...OK."));
  EXPECT_EQ(window.logAtRefresh[2], window.log);
  EXPECT_TRUE(window.log.endsWith("\n" + QString(75, '_')));
  EXPECT_EQ(clock.Reads(), 2);  // header, outcome
  EXPECT_EQ(console.events.first(), "open");
  EXPECT_EQ(console.events.last(), "release");
}

TEST(EngineJob, EncodeReadsTheClockForItsErrorNumberDecodeReusesTheOutcomeStamp) {
  test::TempDir dir;
  for (JobMode mode : {JobMode::Encode, JobMode::Decode}) {
    test::ScriptedPrompts prompts;
    test::RecordingConsole console;
    SteppingClock clock;
    PlainWindow window;
    window.enginePath = QString::fromStdString(dir.File("no-engine"));
    prompts.Answer(Answer::Ok);
    EngineJob(window, mode);
    const bool encode = mode == JobMode::Encode;
    EXPECT_EQ(clock.Reads(), encode ? 3 : 2);
    const QString numberEntry = encode ? "\n DATE: Fri Mar 01 09:05:09 2013\nERROR Nr: 2"
                                       : "\n DATE: Fri Mar 01 09:05:08 2013\nError number: 2";
    EXPECT_TRUE(window.log.endsWith(numberEntry + "\n" + QString(75, '_')))
        << window.log.toStdString();
    EXPECT_EQ(window.calls.count("refresh"), 4);
  }
}

}  // namespace
}  // namespace rux
