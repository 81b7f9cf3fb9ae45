#include "platform/text/number.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <limits>

namespace rux {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t SkipSpace(std::string_view text, std::size_t pos) {
  while (pos < text.size() && IsSpace(text[pos])) ++pos;
  return pos;
}

std::size_t SkipDigits(std::string_view text, std::size_t pos) {
  while (pos < text.size() && IsDigit(text[pos])) ++pos;
  return pos;
}

// The decimal magnitude of a number too large or too small for a double: the
// place of its first non-zero digit relative to the decimal point (1 for 5,
// 0 for 0.5, -1 for 0.05) plus the exponent. Positive means too large.
std::int64_t Magnitude(std::string_view number) {
  const std::size_t exponentMark = number.find_first_of("eE");
  const std::string_view mantissa = number.substr(0, exponentMark);
  const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  const std::size_t firstNonZero = mantissa.find_first_of("123456789");
  if (firstNonZero == std::string_view::npos) return 0;
  std::int64_t place = firstNonZero < point ? static_cast<std::int64_t>(point - firstNonZero)
                                            : -static_cast<std::int64_t>(firstNonZero - point - 1);
  std::int64_t exponent = 0;
  if (exponentMark != std::string_view::npos) {
    std::size_t pos = exponentMark + 1;
    const bool negative = number[pos] == '-';
    if (number[pos] == '-' || number[pos] == '+') ++pos;
    for (; pos < number.size(); ++pos) {
      if (exponent < 1'000'000'000) exponent = exponent * 10 + (number[pos] - '0');
    }
    if (negative) exponent = -exponent;
  }
  return place + exponent;
}

}  // namespace

double ConvertNumber(std::string_view text, std::size_t* consumed) {
  if (consumed) *consumed = 0;
  std::size_t pos = SkipSpace(text, 0);
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  const std::size_t start = pos;
  std::size_t end = SkipDigits(text, pos);
  std::size_t digitCount = end - start;
  if (end < text.size() && text[end] == '.') {
    const std::size_t fractionEnd = SkipDigits(text, end + 1);
    digitCount += fractionEnd - end - 1;
    end = fractionEnd;
  }
  if (digitCount == 0) return 0;
  if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
    std::size_t exponent = end + 1;
    if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
    const std::size_t exponentEnd = SkipDigits(text, exponent);
    if (exponentEnd > exponent) end = exponentEnd;
  }

  const std::string_view number = text.substr(start, end - start);
  double value = 0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    value = Magnitude(number) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (result.ec != std::errc()) {
    return 0;
  }
  if (consumed) *consumed = end;
  return negative ? -value : value;
}

int ConvertInteger(std::string_view text) {
  std::size_t pos = SkipSpace(text, 0);
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  std::int64_t value = 0;
  const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT_MIN) : INT_MAX;
  for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
    value = value * 10 + (text[pos] - '0');
    if (value > limit) value = limit;
  }
  return static_cast<int>(negative ? -value : value);
}

}  // namespace rux
