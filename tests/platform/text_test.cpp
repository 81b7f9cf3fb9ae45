// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
// The text helpers, the same whatever the locale (the Windows-1252 codec,
// number conversion, the log's time stamp), and starting another program:
// the command-line splitting rules and the program lookup.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <locale>

#include "platform/seams/child_process.h"
#include "platform/text/cp1252.h"
#include "platform/text/number.h"
#include "platform/text/timestamp.h"
#include "support/temp_dir.h"

namespace rux {
namespace {

using namespace std::string_literals;

// Each test runs where the decimal separator is a comma, in C and C++ alike.
struct Text : ::testing::Test {
  std::locale saved = std::locale::global(std::locale("de_DE.UTF-8"));
  ~Text() override { std::locale::global(saved); }
};

// Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D, undefined, stand for the control
// characters of their value. No byte: CJK, U+0080, an emoji, a zero-width
// space; nor has a text that is no UTF-8.
TEST_F(Text, EveryWindows1252ByteRoundTripsAndOtherCharactersAreLeftOut) {
  std::string all, back;
  for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
  EXPECT_TRUE(Utf8ToCp1252(Cp1252ToUtf8(all), back) && back == all);
  EXPECT_EQ(Cp1252ToUtf8("\x80\x9F\x99\xB4\xFF\x81\x8D\x8F\x90\x9D"),
            "€Ÿ™´ÿ\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
  EXPECT_TRUE(FitsCp1252("“quoted” ñ"));
  for (const char* text : {"中", "\xC2\x80", "😀", "\u200B", "\xC3", "\xC0\xAF", "\xE0\x80\xAF",
                           "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF", "\x80", "\xE2\x82"}) {
    EXPECT_FALSE(Utf8ToCp1252("a"s + text + "b", back) || back != "ab" || FitsCp1252(text)) << text;
  }
}

// The leading number, as strtod and atoi read it in the classic locale: the
// locale's comma is no decimal point; an exponent only when complete; no
// hexadecimal, infinity or nan; out of range gives 0 or infinity; integers
// saturate. Rows: the text, its value, the length read, its integer.
TEST_F(Text, NumbersAreTheLeadingNumberAsTheClassicLocaleReadsIt) {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  constexpr int kMax = std::numeric_limits<int>::max(), kMin = std::numeric_limits<int>::min();
  const std::tuple<const char*, double, std::size_t, int> cases[] = {
      // clang-format off
      {"2,5", 2, 1, 2}, {"1.2.3", 1.2, 3, 1}, {"  -1.5e3xyz", -1500, 8, -1}, {"\t\n\v\f\r +4", 4, 8, 4},
      {".5", 0.5, 2, 0}, {"5.", 5, 2, 5}, {"-.5e1", -5, 5, 0}, {"1e+", 1, 1, 1}, {"2E3", 2000, 3, 2},
      {"2e-3", 0.002, 4, 2}, {"0x10", 0, 1, 0}, {"inf", 0, 0, 0}, {"-nan(1)", 0, 0, 0}, {"1e-400", 0, 6, 1},
      {"0.0001e-320", 0, 11, 0}, {"0e99999999999999999999", 0, 22, 0}, {"-1e400", -kInfinity, 6, -1},
      {"1000e306", kInfinity, 8, 1000}, {"1e99999999999999999999", kInfinity, 22, 1},
      {"99999999999999", 99999999999999, 14, kMax}, {"-99999999999999", -99999999999999, 15, kMin},
      {"-2147483648", -2147483648.0, 11, kMin},
      {"4.9406564584124654e-324", std::numeric_limits<double>::denorm_min(), 23, 4},
      {"1.7976931348623157e308", std::numeric_limits<double>::max(), 22, 1},
      {"", 0, 0, 0}, {"abc", 0, 0, 0}, {" ", 0, 0, 0}, {"+", 0, 0, 0}, {"-", 0, 0, 0}, {".", 0, 0, 0},
      {"+.e1", 0, 0, 0}, {"e5", 0, 0, 0}, {",5", 0, 0, 0}, {"- 3", 0, 0, 0},
      // clang-format on
  };
  for (const auto& [text, value, length, integer] : cases) {
    std::size_t consumed = 99;
    const double read = ConvertNumber(text, &consumed);
    EXPECT_EQ(std::tuple(read, consumed, ConvertInteger(text)), std::tuple(value, length, integer))
        << text;
  }
  EXPECT_TRUE(std::signbit(ConvertNumber("-0")));
}

// Local time, English names whatever the locale, fixed widths.
TEST_F(Text, TimeStampsHaveEnglishNamesAndFixedWidthsInLocalTime) {
  constexpr std::time_t kFirstMarch2013 = 1362128707;  // 09:05:07 UTC
  ::setenv("TZ", "UTC0", 1);
  ::tzset();
  const std::string utc = TimeStamp(kFirstMarch2013);
  ::setenv("TZ", "XYZ+10", 1);  // ten hours behind
  ::tzset();
  EXPECT_EQ(utc + TimeStamp(kFirstMarch2013) + TimeStamp(951782400 + 10 * 3600),
            "Fri Mar 01 09:05:07 2013\nThu Feb 28 23:05:07 2013\nTue Feb 29 00:00:00 2000\n");
  ::unsetenv("TZ");
  ::tzset();
}

// Blanks and tabs outside quotes separate; before a quote, 2n backslashes give
// n and the quote toggles quoting, 2n+1 give n and a literal quote; other
// backslashes are literal; "" inside quotes is a literal quote.
TEST(SplitCommandLine, FollowsTheMicrosoftRuntimeRules) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      // clang-format off
      {"  a b\tc  ", {"a", "b", "c"}}, {"", {}}, {R"("a b" x"y z"w)", {"a b", "xy zw"}}, {R"("")", {""}},
      {R"("a\\" b)", {R"(a\)", "b"}}, {R"("say \"hi\"")", {R"(say "hi")"}}, {R"(a\\\"b)", {R"(a\"b)"}},
      {R"(C:\dir\file "D:\x y\")", {R"(C:\dir\file)", R"(D:\x y")"}}, {R"("a""b" c)", {R"(a"b)", "c"}},
      {R"("$HOME; `ls` | x" "ñandú €")", {"$HOME; `ls` | x", "ñandú €"}},
      // clang-format on
  };
  for (const auto& [text, items] : cases) EXPECT_EQ(SplitCommandLine(text), items) << text;
}

// As the Windows loader looks: beside the running program (by default this
// test program), then here, then on PATH, so a planted rux4.exe in the
// current folder never runs instead of the shipped one.
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
  const std::string onPath = FindProgram("true", shipped.Path()),
                    self = FindProgram("test_platform");
  EXPECT_TRUE(onPath.starts_with('/') && onPath.ends_with("/true")) << onPath;
  EXPECT_TRUE(self.ends_with("/test_platform") && std::filesystem::exists(self)) << self;
  EXPECT_EQ(FindProgram("no-such-program-here") + FindProgram("sub/prog"),
            "no-such-program-heresub/prog");
  std::filesystem::current_path(saved);
}

}  // namespace
}  // namespace rux
