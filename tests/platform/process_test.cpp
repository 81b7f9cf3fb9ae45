// Starting another program: the command-line splitting rules and the program
// lookup. What a started program receives is the engine start's test.
#include <unistd.h>
#include <cerrno>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/seams/child_process.h"
#include "support/temp_dir.h"

namespace rux {
namespace {

using Items = std::vector<std::string>;

TEST(SplitCommandLine, FollowsTheMicrosoftRuntimeRules) {
  const std::pair<const char*, Items> cases[] = {
      {"  a b\tc  ", {"a", "b", "c"}},  // blanks and tabs outside quotes separate
      {"", {}},
      {R"("a b" x"y z"w)", {"a b", "xy zw"}},
      {R"("")", {""}},
      {R"("a\\" b)", {R"(a\)", "b"}},        // 2n backslashes: n, and the quote toggles quoting
      {R"("say \"hi\"")", {R"(say "hi")"}},  // 2n+1: n and a literal quote
      {R"(a\\\"b)", {R"(a\"b)"}},
      {R"(C:\dir\file "D:\x y\")", {R"(C:\dir\file)", R"(D:\x y")"}},  // others are literal
      {R"("a""b" c)", {R"(a"b)", "c"}},  // "" inside quotes: a literal quote
      {R"("$HOME; `ls` | x" "ñandú €")", {"$HOME; `ls` | x", "ñandú €"}},
  };
  for (const auto& [text, items] : cases) EXPECT_EQ(SplitCommandLine(text), items) << text;
}

// As the Windows loader looks: beside the running program, then here, then on
// PATH, so a planted rux4.exe in the current folder never runs instead of the
// shipped one.
TEST(FindProgram, BareNameIsFoundBesideTheProgramThenHereThenOnThePath) {
  test::TempDir shipped, here;
  const std::filesystem::path saved = std::filesystem::current_path();
  std::filesystem::current_path(here.Path());
  for (const std::string& planted :
       {shipped.File("rux4.exe"), here.File("rux4.exe"), here.File("sh")})
    test::WriteBytes(planted, "#!/bin/sh\n");
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

}  // namespace
}  // namespace rux
