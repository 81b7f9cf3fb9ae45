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

TEST(SplitCommandLine, BlanksAndTabsOutsideQuotesSeparate) {
  EXPECT_EQ(SplitCommandLine("a b\tc"), (Items{"a", "b", "c"}));
  EXPECT_EQ(SplitCommandLine("  lead   trail  "), (Items{"lead", "trail"}));
  EXPECT_EQ(SplitCommandLine(""), Items{});
  EXPECT_EQ(SplitCommandLine("\"a b\" c"), (Items{"a b", "c"}));
  EXPECT_EQ(SplitCommandLine("\"\""), (Items{""}));
  EXPECT_EQ(SplitCommandLine("x\"y z\"w"), (Items{"xy zw"}));
}

TEST(SplitCommandLine, BackslashesBeforeAQuote) {
  // 2n backslashes: n backslashes, the quote toggles quoting.
  EXPECT_EQ(SplitCommandLine(R"("a\\" b)"), (Items{R"(a\)", "b"}));
  // 2n+1: n backslashes and a literal quote.
  EXPECT_EQ(SplitCommandLine(R"("say \"hi\"")"), (Items{R"(say "hi")"}));
  EXPECT_EQ(SplitCommandLine(R"(a\\\"b)"), (Items{R"(a\"b)"}));
  // Other backslashes are literal.
  EXPECT_EQ(SplitCommandLine(R"(C:\dir\file "D:\x y\")"), (Items{R"(C:\dir\file)", R"(D:\x y")"}));
}

TEST(SplitCommandLine, DoubledQuoteInsideQuotesIsALiteralQuote) {
  EXPECT_EQ(SplitCommandLine(R"("a""b" c)"), (Items{R"(a"b)", "c"}));
}

TEST(SplitCommandLine, EscapedParameterItemsArriveAsTyped) {
  // What the jobs send for parameters holding quotes, blanks and shell characters.
  EXPECT_EQ(SplitCommandLine(R"("\"quoted\"" "$HOME; `ls` | x" "ñandú €")"),
            (Items{R"("quoted")", "$HOME; `ls` | x", "ñandú €"}));
  EXPECT_EQ(SplitCommandLine(R"("a\" b" "0")"), (Items{R"(a" b)", "0"}));
}

class InFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.Path());
  }
  void TearDown() override { std::filesystem::current_path(saved_); }
  test::TempDir dir_;
  std::filesystem::path saved_;
};

TEST_F(InFolder, BareNameIsFoundInTheCurrentFolderBeforeThePath) {
  test::WriteBytes(dir_.File("sh"), "#!/bin/false\n");
  EXPECT_EQ(FindProgram("sh"), "./sh");
  const std::string onPath = FindProgram("true");
  EXPECT_EQ(onPath.front(), '/');
  EXPECT_TRUE(onPath.ends_with("/true"));
  EXPECT_EQ(FindProgram("no-such-program-here"), "no-such-program-here");
  EXPECT_EQ(FindProgram("sub/prog"), "sub/prog");
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
