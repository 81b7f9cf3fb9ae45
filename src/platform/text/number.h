#pragma once
// Locale-independent number conversion. Qt sets the C library's locale from the
// environment, so strtod and printf must not be used for numbers.
#include <string>
#include <string_view>

namespace rux {

// Converts the leading number of a text the way strtod does in the classic
// locale, and nothing more: optional leading white space, optional sign,
// decimal digits with an optional full stop, optional exponent. Conversion
// stops at the first character that does not fit; a text with no leading
// number gives 0. No hexadecimal, "inf" or "nan" (they give 0). Values too
// small for a double give 0, values too large give +/-infinity.
// When consumed is given it receives the number of characters converted.
double ConvertNumber(std::string_view text, std::size_t* consumed = nullptr);

// Leading decimal integer (optional white space and sign, then digits), as
// atoi does; 0 when there is none. Saturates at the int range.
int ConvertInteger(std::string_view text);

}  // namespace rux
