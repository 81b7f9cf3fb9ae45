// Number conversion, the same whatever locale the process runs in.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <locale>
#include <utility>

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

TEST_F(NumberConversion, LeadingNumberOnlyAndNothingElse) {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  const struct {
    const char* text;
    double value;
    std::size_t consumed;
  } cases[] = {
      {"2,5", 2, 1},  // the comma of the locale is no decimal point
      {"7x", 7, 1},
      {"1.2.3", 1.2, 3},
      {"  -1.5e3xyz", -1500, 8},
      {"\t\n\v\f\r +4", 4, 8},
      {".5", 0.5, 2},
      {"5.", 5, 2},
      {"-.5e1", -5, 5},
      {"1e+", 1, 1},  // an exponent only when complete
      {"2E3", 2000, 3},
      {"2e-3", 0.002, 4},
      {"0x10", 0, 1},  // no hexadecimal, infinity or nan
      {"inf", 0, 0},
      {"INFINITY", 0, 0},
      {"-nan(1)", 0, 0},
      {"1e-400", 0, 6},  // out of range
      {"0.0001e-320", 0, 11},
      {"-1e400", -kInfinity, 6},
      {"1000e306", kInfinity, 8},
      {"1e99999999999999999999", kInfinity, 22},
      {"0e99999999999999999999", 0, 22},
      {"4.9406564584124654e-324", std::numeric_limits<double>::denorm_min(), 23},
      {"1.7976931348623157e308", std::numeric_limits<double>::max(), 22},
  };
  for (const auto& c : cases) {
    std::size_t consumed = 99;
    EXPECT_EQ(ConvertNumber(c.text, &consumed), c.value) << c.text;
    EXPECT_EQ(consumed, c.consumed) << c.text;
  }
  for (const char* text : {"", "abc", " ", "+", "-", ".", "+.e1", "e5", ",5", "- 3"}) {
    std::size_t consumed = 99;
    EXPECT_EQ(ConvertNumber(text, &consumed), 0) << text;
    EXPECT_EQ(consumed, 0u) << text;
  }
  EXPECT_TRUE(std::signbit(ConvertNumber("-0")));
}

TEST_F(NumberConversion, IntegersLikeAtoi) {
  const std::pair<const char*, int> cases[] = {
      {"12", 12},
      {" -2x", -2},
      {"+7", 7},
      {"1.9", 1},
      {"-", 0},
      {"", 0},
      {"abc", 0},
      {"99999999999999", std::numeric_limits<int>::max()},
      {"-2147483648", std::numeric_limits<int>::min()},
      {"-99999999999999", std::numeric_limits<int>::min()},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ConvertInteger(text), value) << text;
}

}  // namespace
}  // namespace rux
