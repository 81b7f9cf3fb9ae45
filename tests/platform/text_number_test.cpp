// Number conversion, the same whatever locale the process runs in.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <locale>

#include "platform/text/number.h"

namespace rux {
namespace {

// Runs each test under a locale whose decimal separator is a comma: the
// German C library locale when the system has one, and in any case a C++
// global locale with comma and full-stop grouping.
class NumberConversion : public ::testing::Test {
 protected:
  struct GermanPunctuation : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
  };

  void SetUp() override {
    savedCLocale_ = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    savedLocale_ = std::locale::global(std::locale(std::locale::classic(), new GermanPunctuation));
  }
  void TearDown() override {
    std::setlocale(LC_ALL, savedCLocale_.c_str());
    std::locale::global(savedLocale_);
  }

 private:
  std::string savedCLocale_;
  std::locale savedLocale_;
};

constexpr double kInfinity = std::numeric_limits<double>::infinity();

TEST_F(NumberConversion, LeadingNumberOnly) {
  EXPECT_EQ(ConvertNumber("2,5"), 2);
  EXPECT_EQ(ConvertNumber("7x"), 7);
  EXPECT_EQ(ConvertNumber("3.25"), 3.25);
  EXPECT_EQ(ConvertNumber("1.2.3"), 1.2);
  EXPECT_EQ(ConvertNumber("12 34"), 12);
}

TEST_F(NumberConversion, NoNumberGivesZero) {
  for (const char* text : {"", "abc", " ", "+", "-", ".", "+.e1", "e5", ",5"}) {
    std::size_t consumed = 99;
    EXPECT_EQ(ConvertNumber(text, &consumed), 0) << text;
    EXPECT_EQ(consumed, 0u) << text;
  }
}

TEST_F(NumberConversion, NoHexadecimalInfinityOrNan) {
  EXPECT_EQ(ConvertNumber("0x10"), 0);
  EXPECT_EQ(ConvertNumber("inf"), 0);
  EXPECT_EQ(ConvertNumber("INFINITY"), 0);
  EXPECT_EQ(ConvertNumber("nan"), 0);
  EXPECT_EQ(ConvertNumber("-nan(1)"), 0);
}

TEST_F(NumberConversion, SignsSpacesAndPoints) {
  EXPECT_EQ(ConvertNumber(" 4"), 4);
  EXPECT_EQ(ConvertNumber("\t\n\v\f\r 4"), 4);
  EXPECT_EQ(ConvertNumber("-3"), -3);
  EXPECT_EQ(ConvertNumber("+3"), 3);
  EXPECT_EQ(ConvertNumber(".5"), 0.5);
  EXPECT_EQ(ConvertNumber("5."), 5);
  EXPECT_EQ(ConvertNumber("-.5e1"), -5);
  EXPECT_EQ(ConvertNumber("- 3"), 0);
  EXPECT_TRUE(std::signbit(ConvertNumber("-0")));
}

TEST_F(NumberConversion, ExponentOnlyWhenComplete) {
  EXPECT_EQ(ConvertNumber("1e"), 1);
  EXPECT_EQ(ConvertNumber("1e+"), 1);
  EXPECT_EQ(ConvertNumber("2E3"), 2000);
  EXPECT_EQ(ConvertNumber("2e-3"), 0.002);
  EXPECT_EQ(ConvertNumber("2e+3x"), 2000);
}

TEST_F(NumberConversion, OutOfRangeValues) {
  EXPECT_EQ(ConvertNumber("1e-400"), 0);
  EXPECT_EQ(ConvertNumber("-1e-400"), 0);
  EXPECT_EQ(ConvertNumber("1e400"), kInfinity);
  EXPECT_EQ(ConvertNumber("-1e400"), -kInfinity);
  EXPECT_EQ(ConvertNumber("0.0001e-320"), 0);
  EXPECT_EQ(ConvertNumber("1000e306"), kInfinity);
  EXPECT_EQ(ConvertNumber("1e99999999999999999999"), kInfinity);
  EXPECT_EQ(ConvertNumber("1e-99999999999999999999"), 0);
  EXPECT_EQ(ConvertNumber("0e99999999999999999999"), 0);
  EXPECT_EQ(ConvertNumber("4.9406564584124654e-324"), std::numeric_limits<double>::denorm_min());
  EXPECT_EQ(ConvertNumber("1.7976931348623157e308"), std::numeric_limits<double>::max());
}

TEST_F(NumberConversion, ConsumedCountsTheConvertedCharacters) {
  std::size_t consumed = 0;
  ConvertNumber("  -1.5e3xyz", &consumed);
  EXPECT_EQ(consumed, 8u);
  ConvertNumber("1e", &consumed);
  EXPECT_EQ(consumed, 1u);
  ConvertNumber("1e400", &consumed);
  EXPECT_EQ(consumed, 5u);
}

TEST_F(NumberConversion, IntegersLikeAtoi) {
  EXPECT_EQ(ConvertInteger("12"), 12);
  EXPECT_EQ(ConvertInteger(" -2x"), -2);
  EXPECT_EQ(ConvertInteger("+7"), 7);
  EXPECT_EQ(ConvertInteger("1.9"), 1);
  EXPECT_EQ(ConvertInteger("-"), 0);
  EXPECT_EQ(ConvertInteger(""), 0);
  EXPECT_EQ(ConvertInteger("abc"), 0);
  EXPECT_EQ(ConvertInteger("99999999999999"), std::numeric_limits<int>::max());
  EXPECT_EQ(ConvertInteger("-2147483648"), std::numeric_limits<int>::min());
  EXPECT_EQ(ConvertInteger("-99999999999999"), std::numeric_limits<int>::min());
}

}  // namespace
}  // namespace rux
