// The ten-significant-digit form of Enlarge and Scramble.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "keybook/master_key_record.h"

namespace rux {
namespace {

void ExpectForm(double value, const std::string& digits, int exponent, int sign) {
  const TenDigits form = TenDigitForm(value);
  EXPECT_EQ(form.digits, digits) << value;
  EXPECT_EQ(form.exponent, exponent) << value;
  EXPECT_EQ(form.sign, sign) << value;
}

TEST(TenDigitForm, DigitsPositionAndSign) {
  ExpectForm(5, "5000000000", 1, 0);
  ExpectForm(3.25, "3250000000", 1, 0);
  ExpectForm(1234.5, "1234500000", 4, 0);
  ExpectForm(0.5, "5000000000", 0, 0);
  ExpectForm(0.05, "5000000000", -1, 0);
  ExpectForm(-2, "2000000000", 1, 1);
  ExpectForm(1, "1000000000", 1, 0);
  ExpectForm(1e-10, "1000000000", -9, 0);
}

TEST(TenDigitForm, RoundsHalfUpAtTheEleventhDigit) {
  ExpectForm(12345678905, "1234567891", 11, 0);
  ExpectForm(12345678904, "1234567890", 11, 0);
  ExpectForm(-12345678905, "1234567891", 11, 1);
  ExpectForm(0.12345678915, "1234567892", 0, 0);
}

TEST(TenDigitForm, CarryThroughNinesRaisesThePosition) {
  ExpectForm(9999999999.5, "1000000000", 11, 0);
  ExpectForm(99999999995, "1000000000", 12, 0);
  ExpectForm(0.99999999996, "1000000000", 1, 0);
  ExpectForm(1999999999.6, "2000000000", 10, 0);
}

TEST(TenDigitForm, SeventeenDigitsComeFirst) {
  // 1.00000000049999999 is 1.0000000005 at 17 digits, which then rounds up.
  ExpectForm(1.00000000049999999, "1000000001", 1, 0);
  // 0.3 is 0.29999999999999999 exactly, 0.30000000000000000 at 17 digits.
  ExpectForm(0.3, "3000000000", 0, 0);
}

TEST(TenDigitForm, ExtremeValues) {
  ExpectForm(std::numeric_limits<double>::max(), "1797693135", 309, 0);
  ExpectForm(std::numeric_limits<double>::denorm_min(), "4940656458", -323, 0);
  ExpectForm(-std::numeric_limits<double>::infinity(), "1797693135", 309, 1);
  EXPECT_EQ(TenDigitForm(std::nan("")).digits, "");
  EXPECT_EQ(TenDigitForm(0).digits, "");
}

TEST(PrintRecord, LabelledLinesOfTheSampleRecord) {
  MasterKeyRecord record;
  record.name = "test";
  for (int n = 1; n <= KEY_COUNT; ++n) record.keys[n - 1] = "k" + std::to_string(n);
  record.enlarge = 5000000000;
  record.scramble = 3250000000.01;
  std::ostringstream out;
  PrintRecord(out, record);
  EXPECT_EQ(out.str(),
            "\nNombre de la Clave Maestra: test\n"
            "clave1: k1\nclave2: k2\nclave3: k3\nclave4: k4\nclave5: k5\n"
            "clave6: k6\nclave7: k7\nclave8: k8\nclave9: k9\nclave10: k10\n"
            "engorde: 5000000000\n"
            "desorden: 3250000000.010\n");
}

TEST(PrintRecord, NumbersIgnoreTheStreamLocale) {
  struct Grouping : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
  };
  MasterKeyRecord record;
  record.enlarge = 1234567.4;
  record.scramble = -0.0626;
  std::ostringstream out;
  out.imbue(std::locale(std::locale::classic(), new Grouping));
  PrintRecord(out, record);
  EXPECT_NE(out.str().find("engorde: 1234567\ndesorden: -0.063\n"), std::string::npos) << out.str();
}

}  // namespace
}  // namespace rux
