// The field rules without any window: live checks, conversion at OK, what a
// field may hold, and the Scramble text of a stored record.
#include "editing/rules/field_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "editing/book_fixture.h"

namespace rux::test {
namespace {

// What Enlarge and Scramble warn of while typed and convert to at OK; what a
// field may hold: ñ € ´, not a Chinese character, controls (also one that
// Windows-1252 leaves undefined) nor what is no UTF-8.
TEST(FieldRules, LiveCheckConversionAtOkAndWhatAFieldHolds) {
  const std::string digits(5000, '7'), finite = digits.substr(0, 300);  // 5000: beyond a double
  const struct {
    std::string text;
    bool enlargeWarns, scrambleWarns;
    double atOk;  // 0 here is the conversion error
  } cases[] = {
      {"", false, false, 0},         {"0", true, true, 0},
      {"-3", true, false, -3},       {".5", true, false, 0.5},
      {" 4", true, false, 4},        {"2,5", false, false, 2},
      {"7x", false, false, 7},       {"abc", true, true, 0},
      {"1e-400", true, true, 0},     {"1e400", true, true, 0},
      {"-1e400", true, true, 0},     {"0x10", true, true, 0},
      {"nan", true, true, 0},        {"inf", true, true, 0},
      {digits, true, true, 0},       {"0.05", true, false, 0.05},
      {"0" + digits, true, true, 0}, {finite, false, false, std::stod(finite)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 20));
    EXPECT_EQ(NeedsWarning(NumericField::Enlarge, c.text), c.enlargeWarns);
    EXPECT_EQ(NeedsWarning(NumericField::Scramble, c.text), c.scrambleWarns);
    const ConvertedValue converted = ConvertAtOk(c.text);
    EXPECT_EQ(converted.value, c.atOk);
    EXPECT_EQ(converted.conversionError, c.atOk == 0);
  }
  for (const char* fits : {"", "Clave_1 ,.;", "\xC3\xB1\xE2\x82\xAC\xC2\xB4"})
    EXPECT_TRUE(FitsField(fits)) << fits;
  for (const char* fails : {"\xE4\xB8\xAD", "a\tb", "a\nb", "\xC2\x81", "\xFF"})
    EXPECT_FALSE(FitsField(fails)) << fails;
}

MasterKeyRecord StoredRecord(double scramble) {  // as the modify window reads it
  MasterKeyRecord record;
  ReadRecord(BytesOf(KeyRecord("x", 5, scramble)), record, Diagnostics());
  return record;
}

// The decimal text of the stored value; storing the text again gives the same
// 705 bytes (what OK without edits does). Stored forms past the largest double
// (from about 1.7976931345e308) read back as the largest double.
TEST(FormatScramble, TheTextOfTheStoredValueStoresTheSameBytes) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {3.25, "+3.250000000"},   {3.25e12, "+3250000000000."},       {-0.5, "-.5000000000"},
      {0.5, "+.5000000000"},    {1e-12, "+.000000000001000000000"}, {0.05, "+.05000000000"},
      {-2, "-2.000000000"},     {9999999999, "+9999999999."},       {0, "+.0000000000"},
      {1234.5, "+1234.500000"},
  };
  const double largest = std::numeric_limits<double>::max();
  std::vector<double> values = {1.0 / 3,      0.1,     -7.77e-9, 6.02214076e23,   1e300,
                                9999999999.5, largest, -largest, 1.7976931346e308};
  for (const auto& c : cases) {
    EXPECT_EQ(FormatScramble(StoredRecord(c.value)), c.text) << c.value;
    values.push_back(c.value);
  }
  for (int exponent = -11; exponent <= 40; ++exponent)
    for (double mantissa : {1.0, 1.234567891, 9.999999999, 5.5555555555, 3.1415926535})
      for (double sign : {1.0, -1.0}) values.push_back(sign * mantissa * std::pow(10.0, exponent));
  for (double value : values) {
    const double again = ConvertAtOk(FormatScramble(StoredRecord(value))).value;
    EXPECT_EQ(BytesOf(KeyRecord("x", 5, again)), BytesOf(KeyRecord("x", 5, value))) << value;
  }
  MasterKeyRecord damaged = StoredRecord(3.25);  // its position stays bounded
  for (int exponent : {2'000'000'000, -2'000'000'000}) {
    damaged.scrambleExponent = exponent;
    EXPECT_LT(FormatScramble(damaged).size(), 400u);
  }
}

}  // namespace
}  // namespace rux::test
