#pragma once
// Windows-1252 at the file boundary. Inside the program texts are UTF-8.
// Every one of the 256 bytes round-trips: the five bytes Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of
// the same value.
#include <string>
#include <string_view>

namespace rux {

// The character of one Windows-1252 byte.
char32_t Cp1252CodePoint(unsigned char byte);

// Bytes in Windows-1252 to UTF-8.
std::string Cp1252ToUtf8(std::string_view bytes);

// UTF-8 to Windows-1252 bytes. Returns false (and leaves out what cannot be
// held) when the text holds a character Windows-1252 has no byte for, or is
// not valid UTF-8.
bool Utf8ToCp1252(std::string_view utf8, std::string& bytes);

// True when every character of the UTF-8 text has a Windows-1252 byte.
bool FitsCp1252(std::string_view utf8);

}  // namespace rux
