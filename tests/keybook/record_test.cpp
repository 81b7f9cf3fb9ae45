// The 705 bytes of one record: written field by field, read back, printed.
#include <cmath>
#include <limits>

#include "keybook_test_helpers.h"

namespace rux {
namespace {

using test::Field;

const std::string kReadError = "\nError en Lectura\n";
const std::string kConversionError = "\nError en conversion\n";

std::string Bytes(const MasterKeyRecord& record, std::string* messages = nullptr) {
  std::ostringstream diag;
  std::string bytes = RecordBytes(record, diag);
  if (messages) *messages = diag.str();
  return bytes;
}

MasterKeyRecord Read(const std::string& bytes, std::string* messages = nullptr) {
  MasterKeyRecord record;
  std::ostringstream diag;
  ReadRecord(bytes, record, diag);
  if (messages) *messages = diag.str();
  return record;
}

TEST(Record, SampleIsByteExactAndReadsBackAndPrints) {
  std::string messages;
  const std::string bytes = Bytes(test::SampleRecord(), &messages);
  EXPECT_EQ(bytes, test::SampleRecordBytes());
  EXPECT_EQ(bytes.substr(0, 20), std::string("test\0_______________", 20));
  EXPECT_EQ(bytes.substr(605, 5), std::string("abc\0_", 5));
  EXPECT_EQ(bytes.substr(670), std::string("5000000000\0,,,,3250000000.01\0------", 35));
  EXPECT_EQ(messages, "");

  const MasterKeyRecord back = Read(bytes, &messages);
  EXPECT_EQ(messages, "");
  EXPECT_EQ(back.name, "test");
  EXPECT_EQ(back.keys, test::SampleRecord().keys);
  EXPECT_EQ(back.scramble, 3250000000.01);
  std::ostringstream out;
  PrintRecord(out, back);
  EXPECT_EQ(out.str(),
            "\nNombre de la Clave Maestra: test\n"
            "clave1: ab\nclave2: cd\nclave3: ef\nclave4: gh\nclave5: ij\n"
            "clave6: kl\nclave7: mn\nclave8: op\nclave9: qr\nclave10: abc\n"
            "engorde: 5000000000\ndesorden: 3250000000.010\n");
}

TEST(Record, TextsFillTheirFieldsAndLongerOnesAreCut) {
  MasterKeyRecord record;
  for (const int length : {0, 19}) {
    record.name = std::string(length, 'N');
    EXPECT_EQ(Bytes(record).substr(0, 20), Field(record.name, 20, '_'));
  }
  record.name = std::string(18, 'N') + "XYZ";
  record.keys[0] = std::string(64, 'a');
  record.keys[2] = std::string(65, 'c');
  record.keys[9] = std::string(100, 'z');
  std::string messages;
  const std::string bytes = Bytes(record, &messages);
  EXPECT_EQ(bytes.substr(0, 20), std::string(18, 'N') + "X" + '\0');
  EXPECT_EQ(bytes.substr(KeyOffset(1), 130), std::string(64, 'a') + '\0' + Field("", 65, '_'));
  EXPECT_EQ(bytes.substr(KeyOffset(3), 65), std::string(64, 'c') + '\0');
  EXPECT_EQ(bytes.substr(KeyOffset(10), 65), std::string(64, 'z') + '\0');
  EXPECT_EQ(messages,
            "error de longitud en nombreerror de longitud en clave3error de longitud en clave10");

  const MasterKeyRecord back = Read(bytes);
  EXPECT_EQ(back.name, std::string(18, 'N') + "X");
  EXPECT_EQ(back.keys[2], std::string(64, 'c'));
}

TEST(Record, NumbersKeepTenDigitsWithTheScrambleSignAndWholePosition) {
  struct Case {
    double value;
    std::string enlarge, scramble;
    int sign, exponent;
  };
  const Case cases[] = {
      {5, "5000000000", "5000000000.01", 0, 1},
      {50, "5000000000", "5000000000.02", 0, 2},
      {0.5, "5000000000", "5000000000.00", 0, 0},
      {-0.05, "5000000000", "5000000000.1-1", 1, -1},
      {1234.5, "1234500000", "1234500000.04", 0, 4},
      {12345678905, "1234567891", "1234567891.011", 0, 11},  // half up at the 11th digit
      {-12345678904, "1234567890", "1234567890.111", 1, 11},
      {9999999999.5, "1000000000", "1000000000.011", 0, 11},  // carry through the nines
      {1901.7490375, "1901749037", "1901749037.04", 0, 4},    // exactly 1901.74903749999998...
      {0.99999999995, "9999999999", "9999999999.00", 0, 0},   // exactly 0.99999999994999999...
      {0.3, "3000000000", "3000000000.00", 0, 0},
      {-2e-11, "2000000000", "2000000000.1-10", 1, -10},
      {1e100, "1000000000", "1000000000.0101", 0, 101},
      {5e-324, "4940656458", "4940656458.0-323", 0, -323},
      {-std::numeric_limits<double>::infinity(), "1797693135", "1797693135.1309", 1, 309},
      {0, "0", "0", 0, 0},
      {-0.0, "0", "0", 0, 0},
      {std::nan(""), "0", "0", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    MasterKeyRecord record = test::SampleRecord();
    record.enlarge = c.value;
    record.scramble = c.value;
    const std::string bytes = Bytes(record);
    ASSERT_EQ(bytes.size(), 705u);
    EXPECT_EQ(bytes.substr(ENLARGE_OFFSET), Field(c.enlarge, 15, ',') + Field(c.scramble, 20, '-'));
    std::string messages;
    const MasterKeyRecord back = Read(bytes, &messages);
    EXPECT_EQ(messages, c.enlarge == "0" ? kConversionError + kConversionError : "");
    EXPECT_EQ(back.enlarge, std::stod(c.enlarge));
    EXPECT_EQ(back.scrambleSign, c.sign);
    EXPECT_EQ(back.scrambleExponent, c.exponent);
  }
}

TEST(Record, DamagedFieldsAreReadWithinTheirWidth) {
  std::string bytes = test::SampleRecordBytes();
  bytes.replace(0, 20, "ABCDEFGHIJKLMNOPQRST");  // no NUL: runs into Key 1
  std::string messages;
  MasterKeyRecord record = Read(bytes, &messages);
  EXPECT_EQ(record.name, "ABCDEFGHIJKLMNOPQRS");
  EXPECT_EQ(record.keys[0], "ab");
  EXPECT_EQ(messages, kReadError);

  bytes = test::SampleRecordBytes();
  bytes.replace(SCRAMBLE_OFFSET, 20, "3250000000.012345678");  // no NUL in the 20 bytes
  EXPECT_EQ(Read(bytes, &messages).scrambleExponent, 1234567);
  EXPECT_EQ(messages, kReadError);

  record = Read(std::string(705, '\xFF'), &messages);
  EXPECT_EQ(record.name.size(), 19u * 2);  // 19 x ÿ, two bytes each in UTF-8
  for (const std::string& key : record.keys) EXPECT_EQ(key.size(), 64u * 2);
  std::string expected;
  for (int i = 0; i < 12; ++i) expected += kReadError;  // name, ten keys, Enlarge
  EXPECT_EQ(messages, expected + kConversionError + kReadError + kConversionError);
}

TEST(Record, TextsAreWindows1252InTheFileAndUtf8InMemory) {
  MasterKeyRecord record;
  record.name =
      "Ma\xC3\xB1"
      "ana \xE2\x82\xAC";  // "Mañana €"
  record.keys[0] =
      "a\xE4\xB8\xAD"
      "b";  // a CJK character has no byte: left out
  for (int i = 0; i < 64; ++i) record.keys[1] += "\xC3\xA9";  // 64 x é: fits, 64 bytes
  std::string messages;
  const std::string bytes = Bytes(record, &messages);
  EXPECT_EQ(bytes.substr(0, 20), Field("Ma\xF1"
                                       "ana \x80",
                                       20, '_'));
  EXPECT_EQ(bytes.substr(KeyOffset(1), 130), Field("ab", 65, '_') + std::string(64, '\xE9') + '\0');
  EXPECT_EQ(messages, "");
  const MasterKeyRecord back = Read(bytes);
  EXPECT_EQ(back.name, record.name);
  EXPECT_EQ(back.keys[0], "ab");
  EXPECT_EQ(back.keys[1], record.keys[1]);
}

}  // namespace
}  // namespace rux
