// The field rules without any window: live checks, conversion at OK, what a
// field may hold, and the Scramble text of a stored record.
#include "editing/rules/field_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "editing/book_fixture.h"

namespace rux {
namespace {

struct Entry {
  const char* text;
  bool enlargeWarns;
  bool scrambleWarns;
};

TEST(LiveCheck, WarnsForTextsThatMakeNoNumber) {
  const Entry entries[] = {
      {"", false, false},     {"0", true, true},      {"-3", true, false},   {".5", true, false},
      {" 4", true, false},    {"0.5", true, false},   {"2,5", false, false}, {"7x", false, false},
      {"abc", true, true},    {"1e-400", true, true}, {"1e400", true, true}, {"0x10", true, true},
      {"nan", true, true},    {"inf", true, true},    {"25", false, false},  {"1,5", false, false},
      {"9e-400", true, true}, {"-1e400", true, true},
  };
  for (const Entry& entry : entries) {
    EXPECT_EQ(NeedsWarning(NumericField::Enlarge, entry.text), entry.enlargeWarns)
        << "Enlarge " << entry.text;
    EXPECT_EQ(NeedsWarning(NumericField::Scramble, entry.text), entry.scrambleWarns)
        << "Scramble " << entry.text;
  }
}

TEST(LiveCheck, LongPastesAreCheckedWithoutFault) {
  EXPECT_FALSE(NeedsWarning(NumericField::Enlarge, std::string(300, '7')));
  // Five thousand digits make infinity: a conversion error for both fields.
  EXPECT_TRUE(NeedsWarning(NumericField::Enlarge, std::string(5000, '7')));
  EXPECT_TRUE(NeedsWarning(NumericField::Scramble, std::string(5000, '7')));
  EXPECT_TRUE(NeedsWarning(NumericField::Enlarge, "0" + std::string(4999, '7')));
}

TEST(ConversionAtOk, TakesTheLeadingNumber) {
  EXPECT_EQ(ConvertAtOk("2,5").value, 2);
  EXPECT_EQ(ConvertAtOk("7x").value, 7);
  EXPECT_EQ(ConvertAtOk("1,5").value, 1);
  EXPECT_EQ(ConvertAtOk("-3").value, -3);
  EXPECT_EQ(ConvertAtOk("0.05").value, 0.05);
  EXPECT_FALSE(ConvertAtOk("-3").conversionError);
}

TEST(ConversionAtOk, TextsWithoutAUsableNumberGiveZeroAndTheError) {
  for (const char* text : {"", "abc", "0", "1e-400", "1e400", "-1e400", "nan", "inf"}) {
    const ConvertedValue converted = ConvertAtOk(text);
    EXPECT_TRUE(converted.conversionError) << text;
    EXPECT_EQ(converted.value, 0) << text;
    EXPECT_FALSE(std::signbit(converted.value)) << text;
  }
  // Five thousand digits are far beyond a double: an error, never infinity.
  const ConvertedValue huge = ConvertAtOk(std::string(5000, '9'));
  EXPECT_TRUE(huge.conversionError);
  EXPECT_TRUE(std::isfinite(huge.value));
}

TEST(FieldCharacters, OnlyWhatAKeyBookCanHold) {
  EXPECT_TRUE(FitsField(""));
  EXPECT_TRUE(FitsField("Clave_1 ,.;"));
  EXPECT_TRUE(FitsField("\xC3\xB1\xE2\x82\xAC\xC2\xB4"));  // ñ € ´
  EXPECT_FALSE(FitsField("\xE4\xB8\xAD"));                 // a Chinese character
  EXPECT_FALSE(FitsField("a\tb"));
  EXPECT_FALSE(FitsField("a\nb"));
  EXPECT_FALSE(FitsField("\xC2\x81"));  // a control character Windows-1252 leaves undefined
  EXPECT_FALSE(FitsField("\xFF"));      // not UTF-8
}

// The record as the modify window gets it: written, then read from its bytes.
MasterKeyRecord StoredRecord(double scramble) {
  std::ostringstream ignored;
  MasterKeyRecord record;
  ReadRecord(test::BytesOf(test::KeyRecord("x", 5, scramble)), record, ignored);
  return record;
}

TEST(FormatScramble, BuildsTheDecimalTextOfTheStoredValue) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {3.25, "+3.250000000"},       {1, "+1.000000000"},   {1234.5, "+1234.500000"},
      {-0.5, "-.5000000000"},       {0.5, "+.5000000000"}, {3.25e12, "+3250000000000."},
      {0.05, "+.05000000000"},      {-2, "-2.000000000"},  {1e-12, "+.000000000001000000000"},
      {9999999999, "+9999999999."}, {0, "+.0000000000"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatScramble(StoredRecord(c.value)), c.text) << c.value;
}

// Storing the text again gives the same 705 bytes: what OK without edits does.
void ExpectSameBytesAfterRoundTrip(double value) {
  const MasterKeyRecord original = test::KeyRecord("x", 5, value);
  const ConvertedValue again = ConvertAtOk(FormatScramble(StoredRecord(value)));
  MasterKeyRecord rewritten = original;
  rewritten.scramble = again.value;
  EXPECT_EQ(test::BytesOf(rewritten), test::BytesOf(original)) << value;
}

TEST(FormatScramble, EveryTextConvertsBackToTheStoredBytes) {
  for (double value : {3.25, 0.5, 0.05, -2.0, 3.25e12, 1e-12, 0.0, -0.3, 1.0 / 3, 2.0 / 3e-7,
                       123456789.0123, 9999999999.5, 0.1, -7.77e-9, 6.02214076e23, 1e300}) {
    ExpectSameBytesAfterRoundTrip(value);
  }
  // A sweep over magnitudes and digit patterns.
  for (int exponent = -11; exponent <= 40; ++exponent) {
    for (double mantissa : {1.0, 1.234567891, 9.999999999, 5.5555555555, 3.1415926535}) {
      ExpectSameBytesAfterRoundTrip(mantissa * std::pow(10.0, exponent));
      ExpectSameBytesAfterRoundTrip(-mantissa * std::pow(10.0, exponent));
    }
  }
}

TEST(FormatScramble, ADamagedPositionStaysBounded) {
  MasterKeyRecord record = StoredRecord(3.25);
  record.scrambleExponent = 2'000'000'000;
  EXPECT_LT(FormatScramble(record).size(), 400u);
  record.scrambleExponent = -2'000'000'000;
  EXPECT_LT(FormatScramble(record).size(), 400u);
}

}  // namespace
}  // namespace rux
