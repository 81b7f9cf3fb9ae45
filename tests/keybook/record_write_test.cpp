// The 705 bytes the writer produces, field by field.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "keybook_test_helpers.h"

namespace rux {
namespace {

using test::Field;

std::string Bytes(const MasterKeyRecord& record, std::string* messages = nullptr) {
  std::ostringstream diag;
  std::string bytes = RecordBytes(record, diag);
  if (messages) *messages = diag.str();
  return bytes;
}

std::string EnlargeField(double value) {
  MasterKeyRecord record;
  record.enlarge = value;
  return Bytes(record).substr(ENLARGE_OFFSET, ENLARGE_WIDTH);
}

std::string ScrambleField(double value) {
  MasterKeyRecord record;
  record.scramble = value;
  return Bytes(record).substr(SCRAMBLE_OFFSET, SCRAMBLE_WIDTH);
}

TEST(RecordWrite, SampleRecordIsByteExact) {
  std::string messages;
  const std::string bytes = Bytes(test::SampleRecord(), &messages);
  ASSERT_EQ(bytes.size(), 705u);
  EXPECT_EQ(bytes, test::SampleRecordBytes());
  EXPECT_EQ(bytes.substr(0, 20), std::string("test\0_______________", 20));
  EXPECT_EQ(bytes.substr(670), std::string("5000000000\0,,,,3250000000.01\0------", 35));
  EXPECT_EQ(messages, "");
}

TEST(RecordWrite, WriteRecordPutsTheBytesOnTheStream) {
  std::ostringstream out, diag;
  out << "xy";
  WriteRecord(out, test::SampleRecord(), diag);
  EXPECT_EQ(out.str(), "xy" + test::SampleRecordBytes());
}

TEST(RecordWrite, NameFillsItsFieldUpToNineteenBytes) {
  MasterKeyRecord record;
  std::string messages;
  EXPECT_EQ(Bytes(record).substr(0, 20), Field("", 20, '_'));
  record.name = std::string(19, 'N');
  EXPECT_EQ(Bytes(record, &messages).substr(0, 21), std::string(19, 'N') + '\0' + '\0');
  EXPECT_EQ(messages, "");
  record.name = std::string(18, 'N') + "XYZ";
  const std::string bytes = Bytes(record, &messages);
  EXPECT_EQ(bytes.substr(0, 20), std::string(18, 'N') + "X" + '\0');
  EXPECT_EQ(messages, "error de longitud en nombre");
  EXPECT_EQ(bytes.substr(20), Bytes(MasterKeyRecord{}).substr(20));
}

TEST(RecordWrite, KeysFillTheirFieldsUpToSixtyFourBytes) {
  MasterKeyRecord record;
  record.keys[0] = std::string(64, 'a');
  record.keys[2] = std::string(65, 'c');
  record.keys[9] = std::string(100, 'z');
  std::string messages;
  const std::string bytes = Bytes(record, &messages);
  ASSERT_EQ(bytes.size(), 705u);
  EXPECT_EQ(bytes.substr(KeyOffset(1), 65), std::string(64, 'a') + '\0');
  EXPECT_EQ(bytes.substr(KeyOffset(2), 65), Field("", 65, '_'));
  EXPECT_EQ(bytes.substr(KeyOffset(3), 65), std::string(64, 'c') + '\0');
  EXPECT_EQ(bytes.substr(KeyOffset(10), 65), std::string(64, 'z') + '\0');
  EXPECT_EQ(messages, "error de longitud en clave3error de longitud en clave10");
}

TEST(RecordWrite, EnlargeKeepsOnlyTenDigits) {
  const std::string five = Field("5000000000", 15, ',');
  EXPECT_EQ(EnlargeField(5), five);
  EXPECT_EQ(EnlargeField(50), five);
  EXPECT_EQ(EnlargeField(0.5), five);
  EXPECT_EQ(EnlargeField(-5), five);
  EXPECT_EQ(EnlargeField(9999999999.5), Field("1000000000", 15, ','));
  EXPECT_EQ(EnlargeField(12345678905), Field("1234567891", 15, ','));
}

TEST(RecordWrite, ZeroHasAFormOfItsOwn) {
  EXPECT_EQ(EnlargeField(0), Field("0", 15, ','));
  EXPECT_EQ(EnlargeField(-0.0), Field("0", 15, ','));
  EXPECT_EQ(ScrambleField(0), Field("0", 20, '-'));
  EXPECT_EQ(ScrambleField(-0.0), Field("0", 20, '-'));
  EXPECT_EQ(ScrambleField(std::nan("")), Field("0", 20, '-'));
}

TEST(RecordWrite, ScrambleHoldsDigitsSignAndPosition) {
  EXPECT_EQ(ScrambleField(3.25), Field("3250000000.01", 20, '-'));
  EXPECT_EQ(ScrambleField(-0.05), Field("5000000000.1-1", 20, '-'));
  EXPECT_EQ(ScrambleField(1234.5), Field("1234500000.04", 20, '-'));
  EXPECT_EQ(ScrambleField(0.5), Field("5000000000.00", 20, '-'));
  EXPECT_EQ(ScrambleField(1e11), Field("1000000000.012", 20, '-'));
  EXPECT_EQ(ScrambleField(-2e-11), Field("2000000000.1-10", 20, '-'));
  EXPECT_EQ(ScrambleField(1e100), Field("1000000000.0101", 20, '-'));
  EXPECT_EQ(ScrambleField(-5e-324), Field("4940656458.1-323", 20, '-'));
  EXPECT_EQ(ScrambleField(std::numeric_limits<double>::infinity()),
            Field("1797693135.0309", 20, '-'));
}

TEST(RecordWrite, TextsAreStoredInWindows1252) {
  MasterKeyRecord record;
  record.name =
      "Ma\xC3\xB1"
      "ana \xE2\x82\xAC";  // "Mañana €"
  record.keys[0] =
      "a\xE4\xB8\xAD"
      "b";  // a, a CJK character, b
  std::string messages;
  const std::string bytes = Bytes(record, &messages);
  EXPECT_EQ(bytes.substr(0, 20), Field("Ma\xF1"
                                       "ana \x80",
                                       20, '_'));
  EXPECT_EQ(bytes.substr(KeyOffset(1), 65), Field("ab", 65, '_'));
  EXPECT_EQ(messages, "");
}

TEST(RecordWrite, LengthLimitsCountWindows1252Bytes) {
  MasterKeyRecord record;
  record.name = "";
  for (int i = 0; i < 19; ++i) record.name += "\xC3\xA9";  // 19 x é: 38 bytes in UTF-8
  std::string messages;
  EXPECT_EQ(Bytes(record, &messages).substr(0, 20), std::string(19, '\xE9') + '\0');
  EXPECT_EQ(messages, "");
}

TEST(RecordWrite, EveryRecordTakesExactly705Bytes) {
  const double values[] = {0, 1, -1, 1e-300, 1e300, 123.456, -7.5e-12, 9999999999.5};
  for (double enlarge : values) {
    for (double scramble : values) {
      MasterKeyRecord record = test::SampleRecord();
      record.enlarge = enlarge;
      record.scramble = scramble;
      EXPECT_EQ(Bytes(record).size(), 705u) << enlarge << " " << scramble;
    }
  }
}

}  // namespace
}  // namespace rux
