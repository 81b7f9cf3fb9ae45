#pragma once
// The fields of a Master Key as standard input gives them: lines
// "name=...", "key1=..." ... "key10=...", "enlarge=...", "scramble=...", or
// one JSON object with the same names. Keys never come from the arguments.
#include <array>
#include <iosfwd>
#include <optional>
#include <string>

namespace rux::cli {

struct FieldInput {
  std::optional<std::string> name;
  std::array<std::optional<std::string>, 10> keys;
  std::optional<std::string> enlarge;
  std::optional<std::string> scramble;
};

// Usage failure on an unknown or repeated name, a malformed line or object,
// or a text a Key Book cannot hold (a line break, a character outside
// Windows-1252).
FieldInput ReadFieldInput(std::istream& in, bool json);

}  // namespace rux::cli
