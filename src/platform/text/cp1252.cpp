#include "platform/text/cp1252.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace rux {
namespace {

// Code points of the bytes 0x80 ... 0x9F. The five bytes Windows-1252 leaves
// undefined keep the control character of the same value.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

void AppendUtf8(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// The byte for a code point, or -1 when Windows-1252 has none.
int ByteOf(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] == cp) return 0x80 + i;
  }
  return -1;
}

// Decodes one UTF-8 sequence at text[pos]. Returns the code point and moves
// pos past it; an invalid sequence gives -1 and moves past its first byte.
long DecodeUtf8(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos++]);
  if (lead < 0x80) return lead;
  int length = 0;
  char32_t cp = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 1, cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 2, cp = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 3, cp = lead & 0x07;
  } else {
    return -1;
  }
  if (text.size() - pos < static_cast<std::size_t>(length)) return -1;
  for (int i = 0; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[pos + i]);
    if ((next & 0xC0) != 0x80) return -1;
    cp = (cp << 6) | (next & 0x3F);
  }
  const bool overlong = (length == 2 && cp < 0x800) || (length == 3 && cp < 0x10000);
  const bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
  if (overlong || surrogate || cp > 0x10FFFF) return -1;
  pos += length;
  return static_cast<long>(cp);
}

}  // namespace

char32_t Cp1252CodePoint(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return byte;
}

std::string Cp1252ToUtf8(std::string_view bytes) {
  const auto isHigh = [](char c) { return static_cast<unsigned char>(c) >= 0x80; };
  if (std::none_of(bytes.begin(), bytes.end(), isHigh)) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) AppendUtf8(Cp1252CodePoint(static_cast<unsigned char>(c)), out);
  return out;
}

bool Utf8ToCp1252(std::string_view utf8, std::string& bytes) {
  bytes.clear();
  bytes.reserve(utf8.size());
  bool complete = true;
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const long cp = DecodeUtf8(utf8, pos);
    const int byte = cp < 0 ? -1 : ByteOf(static_cast<char32_t>(cp));
    if (byte < 0) {
      complete = false;
      continue;
    }
    bytes += static_cast<char>(byte);
  }
  return complete;
}

bool FitsCp1252(std::string_view utf8) {
  std::string ignored;
  return Utf8ToCp1252(utf8, ignored);
}

}  // namespace rux
