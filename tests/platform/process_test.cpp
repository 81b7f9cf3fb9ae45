// Starting another program: the command-line splitting rules, the program
// lookup, a real start, exit statuses and the errors of a failed start.
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/seams/child_process.h"
#include "support/temp_dir.h"

namespace rux {
namespace {

using Items = std::vector<std::string>;

TEST(SplitCommandLine, FollowsTheMicrosoftRuntimeRules) {
  const struct {
    const char* text;
    Items items;
  } cases[] = {
      {"a b\tc", {"a", "b", "c"}},  // blanks and tabs outside quotes separate
      {"  lead   trail  ", {"lead", "trail"}},
      {"", {}},
      {R"("a b" c)", {"a b", "c"}},
      {R"("")", {""}},
      {R"(x"y z"w)", {"xy zw"}},
      {R"("a\\" b)", {R"(a\)", "b"}},        // 2n backslashes: n, and the quote toggles quoting
      {R"("say \"hi\"")", {R"(say "hi")"}},  // 2n+1: n and a literal quote
      {R"(a\\\"b)", {R"(a\"b)"}},
      {R"(C:\dir\file "D:\x y\")", {R"(C:\dir\file)", R"(D:\x y")"}},  // others are literal
      {R"("a""b" c)", {R"(a"b)", "c"}},  // "" inside quotes: a literal quote
      // What the jobs send for parameters holding quotes, blanks and shell characters.
      {R"("\"quoted\"" "$HOME; `ls` | x" "ñandú €")",
       {R"("quoted")", "$HOME; `ls` | x", "ñandú €"}},
      {R"("a\" b" "0")", {R"(a" b)", "0"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitCommandLine(c.text), c.items) << c.text;
}

// As the Windows loader looks: beside the running program, then here, then on
// PATH, so a planted rux4.exe in the current folder never runs instead of the
// shipped one.
TEST(FindProgram, BareNameIsFoundBesideTheProgramThenHereThenOnThePath) {
  test::TempDir shipped, here;
  const std::filesystem::path saved = std::filesystem::current_path();
  std::filesystem::current_path(here.Path());
  test::WriteBytes(shipped.File("rux4.exe"), "#!/bin/sh\n");
  test::WriteBytes(here.File("rux4.exe"), "#!/bin/sh\necho planted\n");
  test::WriteBytes(here.File("sh"), "#!/bin/false\n");
  EXPECT_EQ(FindProgram("rux4.exe", shipped.Path()), shipped.File("rux4.exe"));
  EXPECT_EQ(FindProgram("sh", shipped.Path()), "./sh");
  EXPECT_EQ(FindProgramNearby("true", shipped.Path()), "");
  const std::string onPath = FindProgram("true", shipped.Path());
  EXPECT_TRUE(onPath.starts_with('/') && onPath.ends_with("/true")) << onPath;
  EXPECT_EQ(FindProgram("no-such-program-here"), "no-such-program-here");
  EXPECT_EQ(FindProgram("sub/prog"), "sub/prog");
  // By default the folder is the running program's: this test program finds itself.
  const std::string self = FindProgram("test_platform");
  EXPECT_TRUE(self.ends_with("/test_platform") && std::filesystem::exists(self)) << self;
  std::filesystem::current_path(saved);
}

TEST(ChildProcess, ReceivesEachItemAndReportsItsStatus) {
  test::TempDir dir;
  const std::string record = dir.File("items");
  ::setenv("FAKE_ENGINE_RECORD", record.c_str(), 1);
  ::setenv("FAKE_ENGINE_STATUS", "3", 1);
  auto started = ChildProcess::Start(FAKE_ENGINE_PATH, {"one", "two words", "", "\"q\""});
  ::unsetenv("FAKE_ENGINE_STATUS");
  ::unsetenv("FAKE_ENGINE_RECORD");
  ASSERT_TRUE(started.process);
  EXPECT_EQ(started.error, 0);
  std::string output;
  while (started.process->OutputFd() >= 0)
    if (!started.process->ReadAvailable(output)) started.process->CloseOutput();
  EXPECT_EQ(started.process->Wait(), 3);
  EXPECT_EQ(output, "fake engine: 4 items\n");
  EXPECT_EQ(test::ReadBytes(record), std::string("one\0two words\0\0\"q\"\0\n", 20));
}

TEST(ChildProcess, FailedStartGivesTheSystemErrorNumber) {
  test::TempDir dir;
  EXPECT_EQ(ChildProcess::Start(dir.File("missing"), {}).error, ENOENT);
  EXPECT_EQ(ChildProcess::Start(dir.Path(), {}).error, EACCES);  // a folder
  test::WriteBytes(dir.File("plain"), "not a program");
  ::chmod(dir.File("plain").c_str(), 0644);
  auto notRunnable = ChildProcess::Start(dir.File("plain"), {});
  EXPECT_FALSE(notRunnable.process);
  EXPECT_EQ(notRunnable.error, EACCES);
}

TEST(ChildProcess, TerminatedProcessEndsWith128PlusTheSignal) {
  auto started = ChildProcess::Start("/bin/sleep", {"30"});
  ASSERT_TRUE(started.process);
  EXPECT_TRUE(started.process->Running());
  started.process->Terminate();
  EXPECT_EQ(started.process->Wait(), 128 + SIGTERM);
  auto killed = ChildProcess::Start("/bin/sleep", {"30"});
  killed.process->Kill();
  EXPECT_EQ(killed.process->Wait(), 128 + SIGKILL);
}

}  // namespace
}  // namespace rux
