#pragma once
// The rules for the fields of a Master Key, free of any window: the live
// checks of Enlarge and Scramble, their conversion at OK, the characters a
// field may hold and the decimal text of a stored Scramble. The editing
// windows and a command-line program share them.
#include <string>
#include <string_view>

#include "keybook/master_key_record.h"

namespace rux {

enum class NumericField { Enlarge, Scramble };

// The warning of the live checks (its inner quotes and double blanks belong to it).
inline constexpr char kWrongNumberWarning[] =
    "Wrong number. Only numeric and  \" , \" \" . \"  characters allowed, try again.";

// "ENLARGE ERROR" or "SCRAMBLE ERROR".
const char* LiveCheckCaption(NumericField field);
// "Attention! Error in the Enlarge Key conversion." or the Scramble one.
const char* ConversionMessage(NumericField field);

// True when a text converts to no usable number: to 0, or to a value too
// large for a double (infinity has no ten-digit form).
bool IsConversionError(std::string_view text);

// Whether the live check warns about the text just typed. Enlarge also
// rejects a text whose first character is not a digit 1 to 9; Scramble only
// a text that does not convert. An empty text never warns.
bool NeedsWarning(NumericField field, std::string_view text);

struct ConvertedValue {
  double value = 0;
  bool conversionError = false;  // the value is then 0
};
// The conversion at OK: the leading number of the text; 0 with the error flag
// when the text does not convert.
ConvertedValue ConvertAtOk(std::string_view text);

// The typed lengths: a name of 19 characters, a key of 64.
inline constexpr int kNameLength = NAME_WIDTH - 1;
inline constexpr int kKeyLength = KEY_WIDTH - 1;

// True when a Key Book can hold the UTF-8 text as typed: every character has
// a Windows-1252 byte and none is a control character.
bool FitsField(std::string_view utf8);

// The Scramble of a record read from a book as a decimal text: sign, integer
// part, full stop, fraction (3.25 gives +3.250000000, 0.05 gives
// +.05000000000). It converts back to the stored value, so storing it again
// gives the same field bytes; a stored form past the largest double gives
// the largest double's text.
std::string FormatScramble(const MasterKeyRecord& record);

}  // namespace rux
