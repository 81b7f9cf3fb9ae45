// The ten-significant-digit decimal form of Enlarge and Scramble: the exact
// decimal expansion of the double, cut after the tenth digit and rounded up
// when the eleventh is 5 or more.
#include <charconv>
#include <cmath>
#include <limits>

#include "keybook/master_key_record.h"

namespace rux {
namespace {

// A double's exact decimal expansion has at most 767 significant digits, so
// this many digits after the first are the whole of it: nothing is rounded.
constexpr int kExactDigits = 770;

}  // namespace

TenDigits TenDigitForm(double value) {
  TenDigits form;
  if (std::isnan(value) || value == 0) return form;
  form.sign = std::signbit(value) ? 1 : 0;
  double magnitude = std::fabs(value);
  if (std::isinf(magnitude)) magnitude = std::numeric_limits<double>::max();

  // d.ddd...e+XXX
  char text[kExactDigits + 16];
  const auto result = std::to_chars(text, text + sizeof text, magnitude,
                                    std::chars_format::scientific, kExactDigits);
  std::string digits;
  const char* pos = text;
  for (; pos < result.ptr && *pos != 'e' && digits.size() < 11; ++pos) {
    if (*pos != '.') digits += *pos;
  }
  while (pos < result.ptr && *pos != 'e') ++pos;
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
