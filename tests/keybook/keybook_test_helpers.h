#pragma once
// Shared pieces of the Key Book tests: captured diagnostics, the sample
// record and its bytes built field by field, and a book in a fresh folder.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "keybook/key_book.h"
#include "keybook/master_key_record.h"
#include "support/captured_diagnostics.h"
#include "support/temp_dir.h"

namespace rux::test {

// text, NUL, filler up to width.
inline std::string Field(const std::string& text, int width, char filler) {
  return text + '\0' + std::string(width - text.size() - 1, filler);
}

// The sample record: name "test", Keys 1 to 9 two letters each, Key 10 "abc"
// (beginning with Key 1), Enlarge 5, Scramble 3.25.
inline MasterKeyRecord SampleRecord(const std::string& name = "test") {
  MasterKeyRecord record;
  record.name = name;
  const char* keys[] = {"ab", "cd", "ef", "gh", "ij", "kl", "mn", "op", "qr", "abc"};
  for (int i = 0; i < KEY_COUNT; ++i) record.keys[i] = keys[i];
  record.enlarge = 5;
  record.scramble = 3.25;
  return record;
}

inline std::string SampleRecordBytes(const std::string& name = "test") {
  std::string bytes = Field(name, 20, '_');
  for (const std::string& key : SampleRecord().keys) bytes += Field(key, 65, '_');
  return bytes + Field("5000000000", 15, ',') + Field("3250000000.01", 20, '-');
}

// A book path in a fresh folder (the file itself is not made), with the
// diagnostics captured.
class BookTest : public ::testing::Test {
 protected:
  MasterKeyRecord Sample(const std::string& name) {
    MasterKeyRecord record = SampleRecord(name);
    record.bookPath = book;
    return record;
  }
  StoreResult Store(const std::string& name) {
    MasterKeyRecord record = Sample(name);
    return StoreNewRecord(book, record);
  }

  TempDir dir;
  std::string book = dir.File("book.kb");
  CapturedDiagnostics diag;
};

}  // namespace rux::test
