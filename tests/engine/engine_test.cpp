// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
// What the engine is handed, the console's cut of the job's texts, and the job
// procedure on a window without widgets, as a program without windows runs it.
#include <QString>
#include <QStringList>
#include <array>
#include <cerrno>

#include <gtest/gtest.h>

#include "engine/engine_contract.h"
#include "engine/engine_job.h"
#include "engine/job_text.h"
#include "platform/seams/child_process.h"
#include "platform/text/timestamp.h"
#include "support/recording_console.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace rux {
namespace {

using namespace std::string_literals;

// Each parameter is shown with a backslash before each double quote that has
// none (escaping twice changes nothing). Started without a shell, the engine
// receives the paths as they are and the parameters as typed; an engine path
// of two quotes names no program.
TEST(RunEngine, TheEngineReceivesEachItemAsItStands) {
  EngineItems items{R"(my "best" book)", 3, 'c', R"(C:\in\)", R"(\\srv\b)", R"(two\\)", {}};
  const std::tuple<QString, QString, QString> params[14] = {
      // typed, shown, received
      // clang-format off
      {R"(say "hi")", R"(say \"hi\")", R"(say "hi")"}, {R"(C:\out\)", R"(C:\out\)", R"(C:\out\)"},
      {R"(a\"b)", R"(a\"b)", R"(a"b)"}, {R"(a\\"b)", R"(a\\"b)", R"(a\"b)"}, {"", "", ""},
      {R"(x" "y)", R"(x\" \"y)", R"(x" "y)"}, {R"(\\)", R"(\\)", R"(\\)"},
      {"tab\there", "tab\there", "tab\there"}, {"$HOME; `id` | x", "$HOME; `id` | x", "$HOME; `id` | x"},
      {"ñandú €", "ñandú €", "ñandú €"}, {R"("first)", R"(\"first)", R"("first)"},
      {R"(""")", R"(\"\"\")", R"(""")"}, {R"(x"\"y)", R"(x\"\"y)", R"(x""y)"},
      {QString(R"(ab")").repeated(3000), QString(R"(ab\")").repeated(3000), QString(R"(ab")").repeated(3000)},
      // clang-format on
  };
  std::string expected = items.keyBook.toStdString() + '\0' + "3\0c\0"s + R"(C:\in\)" + '\0' +
                         R"(\\srv\b)" + '\0' + R"(two\\)" + '\0';
  for (std::size_t n = 0; n < 14; ++n) {
    const auto& [typed, shown, received] = params[n];
    items.params[n] = EscapeQuotes(typed);
    EXPECT_EQ(items.params[n] + "|" + EscapeQuotes(shown), shown + "|" + shown) << n;
    expected += received.toStdString() + '\0';
  }
  test::TempDir dir;
  ::setenv("FAKE_ENGINE_RECORD", dir.File("items").c_str(), 1);
  EngineStart start = RunEngine('"' + QString(FAKE_ENGINE_PATH) + '"', EngineCommandLine(items));
  ::unsetenv("FAKE_ENGINE_RECORD");
  ASSERT_TRUE(start.process);
  EXPECT_EQ(start.process->Wait(), 0);
  EXPECT_EQ(test::ReadBytes(dir.File("items")), expected + '\n');
  EXPECT_FALSE(RunEngine("\"\"", "x").process);
  items = {"books.dat", 3, 'd', "a.txt", "b.dat", "0", {}};
  items.params.fill("0");
  EXPECT_EQ(EngineCommandLine(items), R"("books.dat" 3 d "a.txt" "b.dat" "0")" +
                                          QString(R"( "0")").repeated(14));  // single blanks
}

// A character counts as its Windows-1252 byte, or as its UTF-8 bytes when it
// has none there, and is never split.
TEST(ConsoleCut, KeepsTheLongestBeginningOf65Bytes) {
  const QString a63(63, 'a'), polish = "Ł", smile = "😀", accented = QString("é€´").repeated(30);
  const std::pair<QString, QString> cases[] = {
      // clang-format off
      {"", ""}, {QString(65, 'x'), QString(65, 'x')}, {QString(66, 'x'), QString(65, 'x')},
      {accented, accented.left(65)}, {a63 + polish + "z", a63 + polish}, {a63 + "a" + polish, a63 + "a"},
      {a63.left(61) + smile + "z", a63.left(61) + smile}, {a63.left(62) + smile, a63.left(62)},
      // clang-format on
  };
  for (const auto& [text, cut] : cases)
    EXPECT_EQ(CutToConsoleBytes(text, kConsoleWriteBytes), cut) << text.toStdString();
}

// Holds the values and the log shown at each refresh.
class PlainWindow : public JobWindow {
 public:
  QString enginePath = FAKE_ENGINE_PATH, command, book = "books.dat", source = "a.txt",
          target = "b.dat", verify, config, log;
  int keyNumber = 3;
  std::array<QString, 14> params;
  QStringList logAtRefresh;

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

// Both modes, with an engine that ends with status 0 and one that ends with 3:
// the log is shown after the header, the outcome, the error number and the
// closing line; the error number's entry has its own time stamp when encoding
// and the outcome's when decoding.
TEST(EngineJob, ShowsEachEntryAndStampsTheErrorNumberInEachModesWay) {
  constexpr std::time_t kStart = 1362128707;
  int reads = 0;
  SetClock([&reads] { return kStart + reads++; });
  test::ScriptedPrompts prompts;
  test::RecordingConsole console;
  for (const JobMode mode : {JobMode::Encode, JobMode::Decode}) {
    for (const int status : {0, 3}) {
      const bool encode = mode == JobMode::Encode;
      reads = 0;
      PlainWindow window;
      ::setenv("FAKE_ENGINE_STATUS", std::to_string(status).c_str(), 1);
      prompts.Answer(Answer::Ok);
      EXPECT_EQ(EngineJob(window, mode).errorNumber, status);
      EXPECT_EQ(window.logAtRefresh.size(), status ? 4 : 3) << encode;
      EXPECT_TRUE(window.logAtRefresh.value(0).endsWith("...._____")) << encode;
      const QString stamp = QString::fromStdString(TimeStamp(kStart + (encode ? 2 : 1)));
      const QString number = encode ? "ERROR Nr: 3" : "Error number: 3";
      EXPECT_EQ(window.log.contains("\n DATE: " + stamp + number + "\n"), status != 0) << encode;
    }
  }
  ::unsetenv("FAKE_ENGINE_STATUS");
  SetClock({});
}

}  // namespace
}  // namespace rux
