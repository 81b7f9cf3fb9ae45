// The ten-significant-digit decimal form of Enlarge and Scramble. The value is
// first written with 17 significant digits (exact and locale-free), then
// rounded half-up at the eleventh digit, as the books on disk were written.
#include <charconv>
#include <cmath>
#include <limits>

#include "keybook/master_key_record.h"

namespace rux {

TenDigits TenDigitForm(double value) {
  TenDigits form;
  if (std::isnan(value) || value == 0) return form;
  form.sign = std::signbit(value) ? 1 : 0;
  double magnitude = std::fabs(value);
  if (std::isinf(magnitude)) magnitude = std::numeric_limits<double>::max();

  // d.dddddddddddddddde+XXX
  char text[32];
  const auto result =
      std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific, 16);
  std::string digits;
  const char* pos = text;
  for (; pos < result.ptr && *pos != 'e'; ++pos) {
    if (*pos != '.') digits += *pos;
  }
  int exponent = 0;
  std::from_chars(pos + 1 + (pos[1] == '+'), result.ptr, exponent);
  form.exponent = exponent + 1;

  const bool roundUp = digits[10] >= '5';
  digits.resize(10);
  if (roundUp) {
    int i = 9;
    for (; i >= 0 && digits[i] == '9'; --i) digits[i] = '0';
    if (i >= 0) {
      ++digits[i];
    } else {
      digits = "1000000000";
      ++form.exponent;
    }
  }
  form.digits = digits;
  return form;
}

}  // namespace rux
