#pragma once
// The engine's command line: exactly twenty items.
//   1 Key Book path   2 Master Key number   3 c (ENCODE) or d (DECODE)
//   4 source   5 target   6 verify file, "0" when unused   7-20 Parameters 1-14 (ignored)
#include <optional>
#include <string>

namespace rux4 {

constexpr int ITEM_COUNT = 20;
constexpr const char* ENGINE_VERSION = "4.5";

enum class Mode { Encode, Decode };

struct Arguments {
  std::string bookPath;
  int recordNumber = 0;
  Mode mode = Mode::Encode;
  std::string sourcePath;
  std::string targetPath;
  std::string verifyPath;  // empty when item 6 is "0"
};

struct ParsedArguments {
  std::optional<Arguments> arguments;
  std::string error;  // one line, set when arguments is empty
};

// items are the command-line items without the program name.
ParsedArguments ParseArguments(int itemCount, const char* const* items);

// Usage and version, shown when the engine is started without items.
std::string UsageText();

const char* ModeName(Mode mode);  // "ENCODE" or "DECODE"

}  // namespace rux4
