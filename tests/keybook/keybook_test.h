// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
#pragma once
// The worked example record, byte for byte and in memory, and the fixture of
// every Key Book test: a book path in a fresh folder, the diagnostics captured.
#include <gtest/gtest.h>

#include <string>

#include "keybook/key_book.h"
#include "support/captured_diagnostics.h"
#include "support/temp_dir.h"

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

class KeyBook : public ::testing::Test {
 protected:
  StoreResult Store(const std::string& name) {
    MasterKeyRecord record = Example(name, book);
    return StoreNewRecord(book, record);
  }

  TempDir dir;
  std::string book = dir.File("book.kb");  // no file yet
  CapturedDiagnostics diag;
};

}  // namespace rux::test
