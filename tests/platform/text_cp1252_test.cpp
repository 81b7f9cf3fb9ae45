// The Windows-1252 codec at the file boundary.
#include <gtest/gtest.h>

#include "platform/text/cp1252.h"

namespace rux {
namespace {

TEST(Cp1252, EveryByteRoundTrips) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
  const std::string utf8 = Cp1252ToUtf8(all);
  std::string back;
  EXPECT_TRUE(Utf8ToCp1252(utf8, back));
  EXPECT_EQ(back, all);
  EXPECT_TRUE(FitsCp1252(utf8));
}

TEST(Cp1252, HighBytesMapToTheirCharactersAndUndefinedOnesToControlCharacters) {
  EXPECT_EQ(Cp1252ToUtf8("\x80\x9F\x99"), "\xE2\x82\xAC\xC5\xB8\xE2\x84\xA2");  // €, Ÿ, ™
  EXPECT_EQ(Cp1252ToUtf8(std::string("\xB4\xF1\0\xFF", 4)),
            std::string("\xC2\xB4\xC3\xB1\0\xC3\xBF", 7));
  EXPECT_EQ(Cp1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
}

TEST(Cp1252, CharactersWithoutAByteAreLeftOut) {
  std::string bytes;
  EXPECT_FALSE(
      Utf8ToCp1252("a\xE4\xB8\xAD"
                   "b",
                   bytes));  // CJK character
  EXPECT_EQ(bytes, "ab");
  EXPECT_FALSE(Utf8ToCp1252("\xC2\x80", bytes));  // U+0080: the byte 0x80 is the euro sign
  EXPECT_EQ(bytes, "");
  EXPECT_FALSE(Utf8ToCp1252("x\xF0\x9F\x98\x80y", bytes));  // emoji
  EXPECT_EQ(bytes, "xy");
  EXPECT_FALSE(FitsCp1252("\xE2\x80\x8B"));  // zero-width space
  EXPECT_TRUE(FitsCp1252("\xE2\x80\x9Cquoted\xE2\x80\x9D"));
}

TEST(Cp1252, InvalidUtf8IsRefused) {
  std::string bytes;
  for (const char* text : {"\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                           "\xFF", "\x80", "\xE2\x82"}) {
    EXPECT_FALSE(Utf8ToCp1252(std::string("a") + text + "b", bytes)) << text;
    EXPECT_EQ(bytes.front(), 'a');
    EXPECT_EQ(bytes.back(), 'b');
  }
}

}  // namespace
}  // namespace rux
