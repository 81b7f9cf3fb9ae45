// The engine job procedure on a window without widgets, as a program without
// windows runs it: its refreshes, its clock readings and its outcome.
#include <QStringList>
#include <array>

#include <gtest/gtest.h>

#include "engine/engine_job.h"
#include "platform/text/timestamp.h"
#include "support/recording_console.h"
#include "support/scripted_prompts.h"

namespace rux {
namespace {

// Holds the values and the log shown at each refresh.
class PlainWindow : public JobWindow {
 public:
  QString enginePath = FAKE_ENGINE_PATH, command, book = "books.dat", source = "a.txt",
          target = "b.dat", verify, config, log;
  int keyNumber = 3;
  std::array<QString, 14> params;
  QStringList logAtRefresh;  // the log at each refresh

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
  void SetParamFieldText(int n, const QString& text) override { params[n - 1] = text; }
  void FocusLog() override {}
  void Refresh() override { logAtRefresh << log; }
  QWidget* Owner() override { return nullptr; }
};

// Both modes, with an engine that ends with status 0 and one that ends with 3
// (the job's error number then): a refresh after the header, the outcome, the
// error number and the closing line; the clock read for the header, the
// outcome and, in encode mode only, the error number.
TEST(EngineJob, RefreshesAndClockReadingsOfBothModes) {
  constexpr std::time_t kStart = 1362128707;
  int reads = 0;
  SetClock([&reads] { return kStart + reads++; });
  test::ScriptedPrompts prompts;
  test::RecordingConsole console;
  for (const JobMode mode : {JobMode::Encode, JobMode::Decode}) {
    for (const int status : {0, 3}) {
      const bool encode = mode == JobMode::Encode;
      SCOPED_TRACE(encode ? "encode" : "decode");
      reads = 0;
      PlainWindow window;
      ::setenv("FAKE_ENGINE_STATUS", std::to_string(status).c_str(), 1);
      prompts.Answer(Answer::Ok);
      const JobResult result = EngineJob(window, mode);
      EXPECT_EQ(result.ok, status == 0);
      EXPECT_EQ(result.errorNumber, status);
      EXPECT_EQ(window.logAtRefresh.size(), status ? 4 : 3);
      EXPECT_TRUE(
          window.logAtRefresh[0].endsWith(encode ? "Please Wait...._____" : "Espere...._____"));
      EXPECT_EQ(window.logAtRefresh.last(), window.log);
      const QString stamp = QString::fromStdString(TimeStamp(kStart + (encode ? 2 : 1)));
      const QString number = encode ? "ERROR Nr: 3" : "Error number: 3";
      EXPECT_EQ(window.log.endsWith("\n DATE: " + stamp + number + "\n" + QString(75, '_')),
                status != 0);
      EXPECT_EQ(reads, status && encode ? 3 : 2);
      EXPECT_EQ(console.events.first() + console.events.last(), "openrelease");
      console.events.clear();
    }
  }
  ::unsetenv("FAKE_ENGINE_STATUS");
  SetClock({});
}

}  // namespace
}  // namespace rux
