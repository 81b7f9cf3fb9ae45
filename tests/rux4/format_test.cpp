// The engine's pieces without files: items, byte layouts, key material, progress lines.
#include <gtest/gtest.h>

#include <sstream>

#include "engine_harness.h"
#include "rux4/file_format.h"
#include "rux4/key_derivation.h"
#include "rux4/progress.h"

namespace rux4 {
namespace {

ParsedArguments Parse(std::vector<std::string> items) {
  std::vector<const char*> pointers;
  for (const std::string& item : items) pointers.push_back(item.c_str());
  return ParseArguments(static_cast<int>(pointers.size()), pointers.data());
}

TEST(EngineItems, TwentyItemsGiveTheRunAndZeroMeansNoVerifyFile) {
  const ParsedArguments parsed = Parse(test::Items("b.dat", 3, "d", "a.txt", "b.dat.out"));
  ASSERT_TRUE(parsed.arguments) << parsed.error;
  EXPECT_EQ(parsed.arguments->bookPath, "b.dat");
  EXPECT_EQ(parsed.arguments->recordNumber, 3);
  EXPECT_EQ(parsed.arguments->mode, Mode::Decode);
  EXPECT_EQ(parsed.arguments->sourcePath, "a.txt");
  EXPECT_EQ(parsed.arguments->targetPath, "b.dat.out");
  EXPECT_EQ(parsed.arguments->verifyPath, "");

  std::vector<std::string> withVerify = test::Items("b", 1, "c", "s", "t", "check.key");
  withVerify[19] = "anything \"quoted\"";  // Parameter 14 is ignored
  const ParsedArguments second = Parse(withVerify);
  ASSERT_TRUE(second.arguments);
  EXPECT_EQ(second.arguments->mode, Mode::Encode);
  EXPECT_EQ(second.arguments->verifyPath, "check.key");
}

TEST(EngineItems, RefusesWrongCountModeAndNumber) {
  std::vector<std::string> items = test::Items("b", 1, "c", "s", "t");
  items.pop_back();
  EXPECT_FALSE(Parse(items).arguments);
  items.push_back("0");
  items.push_back("0");
  EXPECT_FALSE(Parse(items).arguments);

  for (const char* mode : {"C", "e", "", "cd"}) {
    const ParsedArguments parsed = Parse(test::Items("b", 1, mode, "s", "t"));
    EXPECT_FALSE(parsed.arguments) << mode;
    EXPECT_NE(parsed.error.find("mode"), std::string::npos);
  }
  for (const char* number : {"0", "-1", "+1", "1.5", "x", "", "2147483648", "99999999999"}) {
    std::vector<std::string> bad = test::Items("b", 1, "c", "s", "t");
    bad[1] = number;
    EXPECT_FALSE(Parse(bad).arguments) << number;
  }
  std::vector<std::string> largest = test::Items("b", 1, "c", "s", "t");
  largest[1] = "2147483647";
  EXPECT_TRUE(Parse(largest).arguments);
}

TEST(EngineUsage, NamesTheItemsAndSaysParametersAreIgnored) {
  const std::string usage = UsageText();
  EXPECT_NE(usage.find(std::string("rux4.exe ") + ENGINE_VERSION), std::string::npos);
  EXPECT_NE(usage.find("P1..P14  Parameters 1 to 14: accepted and ignored"), std::string::npos);
  EXPECT_NE(usage.find("77 wrong Master Key"), std::string::npos);
}

TEST(EncodedHeader, RoundTripsAndRefusesForeignOrDamagedBytes) {
  EncodedHeader header;
  header.cost = {3, 256ull << 20};
  for (std::size_t i = 0; i < header.salt.size(); ++i)
    header.salt[i] = static_cast<unsigned char>(i);
  header.streamHeader.fill(0xA5);
  const HeaderBytes bytes = HeaderToBytes(header);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), "RUX4ENC1");
  EXPECT_EQ(bytes[8], 1);
  EXPECT_EQ(bytes[10], 3);     // opslimit, little-endian
  EXPECT_EQ(bytes[17], 0x10);  // 256 MiB = 0x10000000

  std::string problem;
  const auto read = HeaderFromBytes(bytes, problem);
  ASSERT_TRUE(read) << problem;
  EXPECT_EQ(read->cost.opslimit, 3u);
  EXPECT_EQ(read->cost.memlimit, 256ull << 20);
  EXPECT_EQ(read->salt, header.salt);
  EXPECT_EQ(read->streamHeader, header.streamHeader);

  HeaderBytes foreign = bytes;
  foreign[3] = '5';
  EXPECT_FALSE(HeaderFromBytes(foreign, problem));
  EXPECT_NE(problem.find("not an encoded file"), std::string::npos);
  HeaderBytes newer = bytes;
  newer[8] = 2;
  EXPECT_FALSE(HeaderFromBytes(newer, problem));
  EXPECT_NE(problem.find("unknown version"), std::string::npos);
  HeaderBytes greedy = bytes;
  greedy[21] = 1;  // memlimit of 2^56 bytes
  EXPECT_FALSE(HeaderFromBytes(greedy, problem));
  HeaderBytes endless = bytes;
  endless[10] = 17;
  EXPECT_FALSE(HeaderFromBytes(endless, problem));
  EXPECT_NE(problem.find("cost"), std::string::npos);
}

TEST(VerifyRecordBytes, RoundTripAndAreNotAnEncodedHeader) {
  VerifyRecord record;
  record.cost = test::TEST_COST;
  record.salt.fill(7);
  record.check.fill(9);
  const VerifyBytes bytes = VerifyToBytes(record);
  std::string problem;
  const auto read = VerifyFromBytes(bytes, problem);
  ASSERT_TRUE(read) << problem;
  EXPECT_EQ(read->salt, record.salt);
  EXPECT_EQ(read->check, record.check);
  EXPECT_EQ(read->cost.memlimit, record.cost.memlimit);

  HeaderBytes asHeader{};
  std::copy_n(bytes.begin(), asHeader.size(), asHeader.begin());
  EXPECT_FALSE(HeaderFromBytes(asHeader, problem));
}

std::string MaterialText(const rux::FieldTexts& fields) {
  const SecretBytes material = KeyMaterial(fields);
  return std::string(reinterpret_cast<const char*>(material.Data()), material.Size());
}

TEST(KeyMaterial, FramesEveryFieldSoShiftedTextsDiffer) {
  rux::FieldTexts fields{"ab", "c", "", "", "", "", "", "", "", "", "5000000000", "3250000000.01"};
  rux::FieldTexts shifted = fields;
  shifted[0] = "a";
  shifted[1] = "bc";
  EXPECT_NE(MaterialText(fields), MaterialText(shifted));
  rux::FieldTexts moved = fields;
  moved[10] = "";
  moved[11] = "5000000000" + fields[11];
  EXPECT_NE(MaterialText(fields), MaterialText(moved));
  EXPECT_EQ(MaterialText(fields), MaterialText(fields));
  EXPECT_NE(MaterialText(fields).find(std::string("\x02\0\0\0ab", 6)), std::string::npos);
}

TEST(KeyDerivation, DependsOnSaltAndCost) {
  const SecretBytes material = KeyMaterial(rux::FieldTexts{"k1", "k2"});
  Salt salt{};
  const SecretBytes first = DeriveKey(material, salt, test::TEST_COST);
  const SecretBytes again = DeriveKey(material, salt, test::TEST_COST);
  ASSERT_EQ(first.Size(), KEY_SIZE);
  const auto text = [](const SecretBytes& key) {
    return std::string(reinterpret_cast<const char*>(key.Data()), key.Size());
  };
  EXPECT_EQ(text(first), text(again));
  salt[0] = 1;
  EXPECT_NE(text(first), text(DeriveKey(material, salt, test::TEST_COST)));
  salt[0] = 0;
  EXPECT_NE(text(first), text(DeriveKey(material, salt, {2, test::TEST_COST.memlimit})));
}

TEST(KeyDerivation, ShippedCostIsWithinTheAcceptedBounds) {
  EXPECT_TRUE(IsAcceptedCost(DEFAULT_KDF_COST));
  EXPECT_TRUE(IsAcceptedCost(test::TEST_COST));
  EXPECT_GE(DEFAULT_KDF_COST.memlimit, 64ull << 20);
  EXPECT_FALSE(IsAcceptedCost({0, 1ull << 20}));
  EXPECT_FALSE(IsAcceptedCost({1, 1024}));
}

TEST(ProgressLines, AtMostOnePerPercentAndHundredOnlyAtTheEnd) {
  std::ostringstream out;
  Progress progress(out, 1000);
  for (std::uint64_t done = 0; done <= 1000; done += 3) progress.Update(done);
  progress.Update(1000);
  progress.Finish();
  progress.Finish();
  std::vector<int> expected;
  for (int percent = 0; percent <= 100; ++percent) expected.push_back(percent);
  EXPECT_EQ(test::ProgressValues(out.str()), expected);
}

TEST(ProgressLines, UnknownSizeGivesOnlyTheFinalLine) {
  std::ostringstream out;
  Progress progress(out, 0);
  progress.Update(12345);
  progress.Finish();
  EXPECT_EQ(out.str(), "progress: 100%\n");
}

}  // namespace
}  // namespace rux4
