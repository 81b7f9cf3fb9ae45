// The text helpers, the same whatever the locale: the Windows-1252 codec,
// number conversion and the log's time stamp.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale>

#include "platform/text/cp1252.h"
#include "platform/text/number.h"
#include "platform/text/timestamp.h"

namespace rux {
namespace {

// Each test runs where the decimal separator is a comma, in C and C++ alike.
struct Text : ::testing::Test {
  std::locale saved = std::locale::global(std::locale("de_DE.UTF-8"));
  ~Text() override { std::locale::global(saved); }
};

TEST_F(Text, EveryWindows1252ByteRoundTripsAndOtherCharactersAreLeftOut) {
  std::string all, back;
  for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
  EXPECT_TRUE(Utf8ToCp1252(Cp1252ToUtf8(all), back));
  EXPECT_EQ(back, all);
  EXPECT_EQ(Cp1252ToUtf8("\x80\x9F\x99\xB4\xFF\x81\x8D\x8F\x90\x9D"),
            "€Ÿ™´ÿ\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");  // undefined: control characters
  EXPECT_TRUE(FitsCp1252("“quoted” ñ"));
  // No byte (CJK, U+0080, an emoji, a zero-width space), or no UTF-8 at all.
  for (const char* text : {"中", "\xC2\x80", "😀", "\u200B", "\xC3", "\xC0\xAF", "\xE0\x80\xAF",
                           "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF", "\x80", "\xE2\x82"}) {
    EXPECT_FALSE(Utf8ToCp1252(std::string("a") + text + "b", back)) << text;
    EXPECT_EQ(back, "ab");
    EXPECT_FALSE(FitsCp1252(text));
  }
}

// The leading number, as strtod and atoi read it in the classic locale: the
// locale's comma is no decimal point; an exponent only when complete; no
// hexadecimal, infinity or nan; out of range gives 0 or infinity; integers
// saturate.
TEST_F(Text, NumbersAreTheLeadingNumberAsTheClassicLocaleReadsIt) {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  constexpr int kMax = std::numeric_limits<int>::max(), kMin = std::numeric_limits<int>::min();
  const struct {
    const char* text;
    double value;
    std::size_t consumed;
    int integer;
  } cases[] = {
      // clang-format off
      {"2,5", 2, 1, 2}, {"1.2.3", 1.2, 3, 1}, {"  -1.5e3xyz", -1500, 8, -1}, {"\t\n\v\f\r +4", 4, 8, 4},
      {".5", 0.5, 2, 0}, {"5.", 5, 2, 5}, {"-.5e1", -5, 5, 0},
      {"1e+", 1, 1, 1}, {"2E3", 2000, 3, 2}, {"2e-3", 0.002, 4, 2},
      {"0x10", 0, 1, 0}, {"inf", 0, 0, 0}, {"-nan(1)", 0, 0, 0},
      {"1e-400", 0, 6, 1}, {"0.0001e-320", 0, 11, 0}, {"0e99999999999999999999", 0, 22, 0},
      {"-1e400", -kInfinity, 6, -1}, {"1000e306", kInfinity, 8, 1000}, {"1e99999999999999999999", kInfinity, 22, 1},
      {"99999999999999", 99999999999999, 14, kMax}, {"-99999999999999", -99999999999999, 15, kMin},
      {"-2147483648", -2147483648.0, 11, kMin},
      {"4.9406564584124654e-324", std::numeric_limits<double>::denorm_min(), 23, 4},
      {"1.7976931348623157e308", std::numeric_limits<double>::max(), 22, 1},
      {"", 0, 0, 0}, {"abc", 0, 0, 0}, {" ", 0, 0, 0}, {"+", 0, 0, 0}, {"-", 0, 0, 0}, {".", 0, 0, 0},
      {"+.e1", 0, 0, 0}, {"e5", 0, 0, 0}, {",5", 0, 0, 0}, {"- 3", 0, 0, 0},
      // clang-format on
  };
  for (const auto& c : cases) {
    std::size_t consumed = 99;
    EXPECT_EQ(ConvertNumber(c.text, &consumed), c.value) << c.text;
    EXPECT_EQ(consumed, c.consumed) << c.text;
    EXPECT_EQ(ConvertInteger(c.text), c.integer) << c.text;
  }
  EXPECT_TRUE(std::signbit(ConvertNumber("-0")));
}

TEST_F(Text, TimeStampsHaveEnglishNamesAndFixedWidthsInLocalTime) {
  constexpr std::time_t kFirstMarch2013 = 1362128707;  // Fri 2013-03-01 09:05:07 UTC
  for (const auto& [zone, stamp] :
       {std::pair<const char*, const char*>{"UTC0", "Fri Mar 01 09:05:07 2013\n"},
        {"XYZ-3", "Fri Mar 01 12:05:07 2013\n"},  // three hours ahead
        {"XYZ+10", "Thu Feb 28 23:05:07 2013\n"}}) {
    ::setenv("TZ", zone, 1);
    ::tzset();
    EXPECT_EQ(TimeStamp(kFirstMarch2013), stamp) << zone;
  }
  EXPECT_EQ(TimeStamp(951782400 + 10 * 3600), "Tue Feb 29 00:00:00 2000\n");
  ::unsetenv("TZ");
  ::tzset();
}

}  // namespace
}  // namespace rux
