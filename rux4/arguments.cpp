#include "arguments.h"

#include <climits>

namespace rux4 {

namespace {

// A positive decimal integer that fits an int; 0 otherwise.
int PositiveNumber(const std::string& text) {
  if (text.empty() || text.size() > 10) return 0;
  long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
  }
  return value > 0 && value <= INT_MAX ? static_cast<int>(value) : 0;
}

}  // namespace

ParsedArguments ParseArguments(int itemCount, const char* const* items) {
  ParsedArguments parsed;
  if (itemCount != ITEM_COUNT) {
    parsed.error = "expected " + std::to_string(ITEM_COUNT) + " items, got " +
                   std::to_string(itemCount) + " (run without items for usage)";
    return parsed;
  }
  Arguments arguments;
  arguments.bookPath = items[0];
  arguments.recordNumber = PositiveNumber(items[1]);
  if (arguments.recordNumber == 0) {
    parsed.error =
        "the Master Key number must be a positive integer, got \"" + std::string(items[1]) + "\"";
    return parsed;
  }
  const std::string mode = items[2];
  if (mode == "c") {
    arguments.mode = Mode::Encode;
  } else if (mode == "d") {
    arguments.mode = Mode::Decode;
  } else {
    parsed.error = "the mode must be c (encode) or d (decode), got \"" + mode + "\"";
    return parsed;
  }
  arguments.sourcePath = items[3];
  arguments.targetPath = items[4];
  const std::string verify = items[5];
  if (verify != "0") arguments.verifyPath = verify;
  parsed.arguments = arguments;
  return parsed;
}

std::string UsageText() {
  return std::string("rux4.exe ") + ENGINE_VERSION +
         " - encodes or decodes one file with a Master Key of a Key Book\n"
         "\n"
         "usage: rux4.exe BOOK NUMBER c|d SOURCE TARGET VERIFY P1 P2 ... P14\n"
         "\n"
         "  BOOK     Key Book file\n"
         "  NUMBER   Master Key number in the book, counted from 1\n"
         "  c | d    c encodes SOURCE into TARGET, d decodes it\n"
         "  SOURCE   file to read\n"
         "  TARGET   file to write; replaced only when the run succeeds\n"
         "  VERIFY   key-check file, 0 for none: created from the Master Key when it does\n"
         "           not exist, otherwise the Master Key must match it\n"
         "  P1..P14  Parameters 1 to 14: accepted and ignored\n"
         "\n"
         "All twenty items are required. Exit status: 0 OK, 64 usage, 65 Key Book or\n"
         "record, 66 source cannot be read, 73 target cannot be created, 74 read or write\n"
         "error, 77 wrong Master Key (verify file), 78 authentication failed.\n";
}

const char* ModeName(Mode mode) { return mode == Mode::Encode ? "ENCODE" : "DECODE"; }

}  // namespace rux4
