#include "editing/rules/field_rules.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/text/cp1252.h"
#include "platform/text/number.h"

namespace rux {
namespace {

bool IsControlCharacter(std::string_view utf8, std::size_t at) {
  const auto byte = static_cast<unsigned char>(utf8[at]);
  if (byte < 0x20 || byte == 0x7F) return true;
  // U+0080 ... U+009F are 0xC2 0x80 ... 0xC2 0x9F.
  return byte == 0xC2 && at + 1 < utf8.size() && static_cast<unsigned char>(utf8[at + 1]) <= 0x9F;
}

// A sane bound for the decimal-point position of a damaged field: no double
// lies beyond 10^309 or below 10^-324.
constexpr int kWidestExponent = 330;

}  // namespace

const char* LiveCheckCaption(NumericField field) {
  return field == NumericField::Enlarge ? "ENLARGE ERROR" : "SCRAMBLE ERROR";
}

const char* ConversionMessage(NumericField field) {
  return field == NumericField::Enlarge ? "Attention! Error in the Enlarge Key conversion."
                                        : "Attention! Error in the Scramble Key conversion.";
}

bool IsConversionError(std::string_view text) {
  const double value = ConvertNumber(text);
  return value == 0 || !std::isfinite(value);
}

bool NeedsWarning(NumericField field, std::string_view text) {
  if (text.empty()) return false;
  if (field == NumericField::Enlarge && IsConversionError(text.substr(0, 1))) return true;
  return IsConversionError(text);
}

ConvertedValue ConvertAtOk(std::string_view text) {
  if (IsConversionError(text)) return {0, true};
  return {ConvertNumber(text), false};
}

bool FitsField(std::string_view utf8) {
  for (std::size_t at = 0; at < utf8.size(); ++at) {
    if (IsControlCharacter(utf8, at)) return false;
  }
  return FitsCp1252(utf8);
}

std::string FormatScramble(const MasterKeyRecord& record) {
  std::string digits = TenDigitForm(record.scramble).digits;
  if (digits.size() != 10) digits.assign(10, '0');  // zero has no digits of its own
  const int exponent = std::clamp(record.scrambleExponent, -kWidestExponent, kWidestExponent);
  std::string text(1, record.scrambleSign != 0 ? '-' : '+');
  if (exponent < 0) {
    text += '.' + std::string(-exponent, '0') + digits;
  } else if (exponent <= 10) {
    text += digits.substr(0, exponent) + '.' + digits.substr(exponent);
  } else {
    text += digits + std::string(exponent - 10, '0') + '.';
  }
  // A stored form past the largest double (the largest double itself is
  // stored rounded up) reads back as the largest double, so that storing it
  // again gives the same field.
  if (std::isinf(ConvertNumber(text))) {
    char largest[400];
    const auto end = std::to_chars(largest, largest + sizeof largest,
                                   std::numeric_limits<double>::max(), std::chars_format::fixed);
    text = text.substr(0, 1) + std::string(largest, end.ptr) + '.';
  }
  return text;
}

}  // namespace rux
