// Reading a record back from its bytes, well-formed and damaged.
#include <gtest/gtest.h>

#include <cmath>

#include "keybook_test_helpers.h"

namespace rux {
namespace {

using test::Field;

const std::string kReadError = "\nError en Lectura\n";
const std::string kConversionError = "\nError en conversion\n";

MasterKeyRecord Read(const std::string& bytes, std::string* messages = nullptr) {
  MasterKeyRecord record;
  std::ostringstream diag;
  ReadRecord(bytes, record, diag);
  if (messages) *messages = diag.str();
  return record;
}

MasterKeyRecord WithScramble(double scramble) {
  MasterKeyRecord record = test::SampleRecord();
  record.scramble = scramble;
  return record;
}

std::string BytesOf(const MasterKeyRecord& record) {
  std::ostringstream diag;
  return RecordBytes(record, diag);
}

TEST(RecordRead, SampleRecordReadsBack) {
  std::string messages;
  const MasterKeyRecord record = Read(test::SampleRecordBytes(), &messages);
  EXPECT_EQ(messages, "");
  EXPECT_EQ(record.name, "test");
  EXPECT_EQ(record.keys, test::SampleRecord().keys);
  EXPECT_EQ(record.enlarge, 5000000000.0);
  EXPECT_EQ(record.scramble, 3250000000.01);
  EXPECT_EQ(record.scrambleSign, 0);
  EXPECT_EQ(record.scrambleExponent, 1);
}

TEST(RecordRead, EmptyNameIsNoError) {
  std::string messages;
  EXPECT_EQ(Read(test::SampleRecordBytes(""), &messages).name, "");
  EXPECT_EQ(messages, "");
}

TEST(RecordRead, ScrambleSignAndWholePosition) {
  struct Case {
    double value;
    int sign;
    int exponent;
  };
  const Case cases[] = {{-0.05, 1, -1},     {1234.5, 0, 4},  {2e-11, 0, -10},
                        {-3e-200, 1, -199}, {1e100, 0, 101}, {7e307, 0, 308}};
  for (const Case& c : cases) {
    std::string messages;
    const MasterKeyRecord record = Read(BytesOf(WithScramble(c.value)), &messages);
    EXPECT_EQ(messages, "") << c.value;
    EXPECT_EQ(record.scrambleSign, c.sign) << c.value;
    EXPECT_EQ(record.scrambleExponent, c.exponent) << c.value;
  }
}

TEST(RecordRead, ZeroValuesReportConversion) {
  MasterKeyRecord zero = test::SampleRecord();
  zero.enlarge = 0;
  zero.scramble = 0;
  std::string messages;
  const MasterKeyRecord record = Read(BytesOf(zero), &messages);
  EXPECT_EQ(messages, kConversionError + kConversionError);
  EXPECT_EQ(record.enlarge, 0);
  EXPECT_EQ(record.scramble, 0);
  EXPECT_EQ(record.scrambleSign, 0);
  EXPECT_EQ(record.scrambleExponent, 0);
}

TEST(RecordRead, NameWithoutNulIsCutToItsCapacity) {
  std::string bytes = test::SampleRecordBytes();
  bytes.replace(0, 20, "ABCDEFGHIJKLMNOPQRST");  // no NUL: runs into Key 1
  std::string messages;
  const MasterKeyRecord record = Read(bytes, &messages);
  EXPECT_EQ(messages, kReadError);
  EXPECT_EQ(record.name, "ABCDEFGHIJKLMNOPQRS");
  EXPECT_EQ(record.keys[0], "ab");
}

TEST(RecordRead, KeyWithoutNulIsCutAndTheNextFieldStillRead) {
  std::string bytes = test::SampleRecordBytes();
  bytes.replace(KeyOffset(4), 65, std::string(65, 'k'));
  std::string messages;
  const MasterKeyRecord record = Read(bytes, &messages);
  EXPECT_EQ(messages, kReadError);
  EXPECT_EQ(record.keys[3], std::string(64, 'k'));
  EXPECT_EQ(record.keys[4], "ij");
}

TEST(RecordRead, RecordOfNoNulBytesStaysWithinItsFields) {
  const std::string bytes(705, '\xFF');
  std::string messages;
  const MasterKeyRecord record = Read(bytes, &messages);
  EXPECT_EQ(record.name.size(), 19u * 2);  // 19 x ÿ, two bytes each in UTF-8
  for (const std::string& key : record.keys) EXPECT_EQ(key.size(), 64u * 2);
  EXPECT_EQ(record.enlarge, 0);
  EXPECT_EQ(record.scramble, 0);
  // name, ten keys, Enlarge, Scramble: each too long; both numbers unreadable
  std::string expected;
  for (int i = 0; i < 12; ++i) expected += kReadError;
  expected += kConversionError + kReadError + kConversionError;
  EXPECT_EQ(messages, expected);
}

TEST(RecordRead, ScrambleWithoutNulDoesNotFit) {
  std::string bytes = test::SampleRecordBytes();
  bytes.replace(SCRAMBLE_OFFSET, 20, "3250000000.012345678");
  std::string messages;
  const MasterKeyRecord record = Read(bytes, &messages);
  EXPECT_EQ(messages, kReadError);
  EXPECT_EQ(record.scrambleExponent, 1234567);  // the position as far as the field holds it
}

TEST(RecordRead, ShortBytesGiveWhatIsThere) {
  std::string messages;
  const MasterKeyRecord record = Read(test::SampleRecordBytes().substr(0, 80), &messages);
  EXPECT_EQ(record.name, "test");
  EXPECT_EQ(record.keys[0], "ab");
  EXPECT_EQ(record.keys[1], "");
  EXPECT_EQ(messages, kConversionError + kConversionError);

  const MasterKeyRecord nothing = Read("");
  EXPECT_EQ(nothing.name, "");
}

TEST(RecordRead, TextsComeBackAsUtf8) {
  std::string bytes = test::SampleRecordBytes();
  bytes.replace(0, 20, Field("Se\xF1or \x80\x81\xB4", 20, '_'));
  EXPECT_EQ(Read(bytes).name, "Se\xC3\xB1or \xE2\x82\xAC\xC2\x81\xC2\xB4");
}

TEST(RecordRead, WriteThenReadKeepsTheTexts) {
  MasterKeyRecord record = test::SampleRecord("Z\xC3\xBCrich");
  record.keys[5] = std::string(64, 'q');
  const MasterKeyRecord back = Read(BytesOf(record));
  EXPECT_EQ(back.name, record.name);
  EXPECT_EQ(back.keys, record.keys);
}

}  // namespace
}  // namespace rux
