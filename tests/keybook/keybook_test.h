#pragma once
// The worked example record, byte for byte, and the same record in memory.
#include <gtest/gtest.h>

#include <string>

#include "keybook/master_key_record.h"

namespace rux::test {

// Name test, Keys 1 to 9 two letters each, Key 10 abc, Enlarge 5, Scramble 3.25.
constexpr char kExampleBytes[] =
    "test\0_______________"
    "ab\0______________________________________________________________"
    "cd\0______________________________________________________________"
    "ef\0______________________________________________________________"
    "gh\0______________________________________________________________"
    "ij\0______________________________________________________________"
    "kl\0______________________________________________________________"
    "mn\0______________________________________________________________"
    "op\0______________________________________________________________"
    "qr\0______________________________________________________________"
    "abc\0_____________________________________________________________"
    "5000000000\0,,,,3250000000.01\0------";
static_assert(sizeof kExampleBytes == RECORD_SIZE + 1);

inline MasterKeyRecord Example(const std::string& name = "test", const std::string& book = "") {
  MasterKeyRecord record;
  record.name = name;
  record.bookPath = book;
  record.keys = {"ab", "cd", "ef", "gh", "ij", "kl", "mn", "op", "qr", "abc"};
  record.enlarge = 5;
  record.scramble = 3.25;
  return record;
}

// The example's bytes under another name (at most 19 Windows-1252 bytes).
inline std::string ExampleBytes(const std::string& name = "test") {
  return name + '\0' + std::string(19 - name.size(), '_') + std::string(kExampleBytes + 20, 685);
}

}  // namespace rux::test
