#pragma once
// Text helpers of the engine jobs.
#include <QString>

namespace rux {

// Puts a backslash before every double quote that has no backslash before it
// in the given text (a double quote in first place always gets one). An
// escaped text comes back unchanged, so escaping twice changes nothing.
QString EscapeQuotes(const QString& text);

// The longest beginning of the text that the console takes in one write of at
// most maxBytes bytes. A character counts as its one Windows-1252 byte, or as
// its UTF-8 bytes when Windows-1252 has none for it; a character is never
// split.
QString CutToConsoleBytes(const QString& text, int maxBytes);

// What one console write of the jobs carries at most.
constexpr int kConsoleWriteBytes = 65;

}  // namespace rux
