// The engine's pieces without files: the twenty items, the key material's
// framing, the key's salt.
#include <tuple>

#include "engine_harness.h"

namespace rux4::test {
namespace {

TEST(EngineItems, TwentyItemsGiveTheRunAndZeroMeansNoVerifyFile) {
  std::vector<std::string> items = Items("b.dat", 3, "d", "a.txt", "b.out");
  items[19] = "anything \"quoted\"";  // Parameter 14 is ignored
  std::vector<const char*> pointers;
  for (const std::string& item : items) pointers.push_back(item.c_str());
  const ParsedArguments parsed = ParseArguments(ITEM_COUNT, pointers.data());
  ASSERT_TRUE(parsed.arguments) << parsed.error;
  const Arguments& run = *parsed.arguments;
  EXPECT_EQ(
      std::tie(run.bookPath, run.recordNumber, run.sourcePath, run.targetPath, run.verifyPath),
      std::make_tuple("b.dat", 3, "a.txt", "b.out", ""));
  EXPECT_EQ(run.mode, Mode::Decode);
}

std::string Text(const SecretBytes& bytes) {
  return std::string(reinterpret_cast<const char*>(bytes.Data()), bytes.Size());
}

TEST(KeyMaterial, FramesEveryFieldSoShiftedTextsDiffer) {
  rux::FieldTexts fields{"ab", "c", "", "", "", "", "", "", "", "", "5000000000", "3250000000.01"};
  rux::FieldTexts shifted = fields;
  shifted[0] = "a";
  shifted[1] = "bc";
  rux::FieldTexts moved = fields;
  moved[10] = "";
  moved[11] = "5000000000" + fields[11];
  const std::string material = Text(KeyMaterial(fields));
  EXPECT_NE(material, Text(KeyMaterial(shifted)));
  EXPECT_NE(material, Text(KeyMaterial(moved)));
  EXPECT_NE(material.find(std::string("\x02\0\0\0ab\x01\0\0\0c", 10)), std::string::npos);
}

TEST(KeyDerivation, TheSaltChangesTheKey) {
  const SecretBytes material = KeyMaterial(rux::FieldTexts{"k1", "k2"});
  Salt salt{};
  const std::string first = Text(DeriveKey(material, salt, TEST_COST));
  EXPECT_EQ(first.size(), KEY_SIZE);
  EXPECT_EQ(first, Text(DeriveKey(material, salt, TEST_COST)));
  salt[0] = 1;
  EXPECT_NE(first, Text(DeriveKey(material, salt, TEST_COST)));
}

}  // namespace
}  // namespace rux4::test
