#pragma once
// Key Books for the window tests, made with the Key Book library.
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "keybook/key_book.h"
#include "support/captured_diagnostics.h"
#include "support/temp_dir.h"

namespace rux::test {

// A record whose keys name it: Key n is "<name>-k<n>".
inline MasterKeyRecord KeyRecord(const std::string& name, double enlarge = 5,
                                 double scramble = 3.25) {
  MasterKeyRecord record;
  record.name = name;
  for (int n = 1; n <= KEY_COUNT; ++n) record.keys[n - 1] = name + "-k" + std::to_string(n);
  record.enlarge = enlarge;
  record.scramble = scramble;
  return record;
}

inline std::string BytesOf(const MasterKeyRecord& record) {
  std::ostringstream ignored;
  return RecordBytes(record, ignored);
}

// Records in order; an empty entry holds the deleted mark.
inline void MakeBook(const std::string& path,
                     const std::vector<std::optional<MasterKeyRecord>>& records) {
  std::string bytes;
  for (const auto& record : records) bytes += record ? BytesOf(*record) : DeletedMark();
  WriteBytes(path, bytes);
}

// The same with a KeyRecord of each name; nullptr holds the deleted mark.
inline std::string NamesBook(const std::string& path, const std::vector<const char*>& names) {
  std::string bytes;
  for (const char* name : names) bytes += name ? BytesOf(KeyRecord(name)) : DeletedMark();
  WriteBytes(path, bytes);
  return path;
}

// Record n (from 1) of the book's bytes; shorter or empty past the end.
inline std::string RecordOf(const std::string& bookBytes, int n) {
  const std::size_t at = static_cast<std::size_t>(n - 1) * RECORD_SIZE;
  return at < bookBytes.size() ? bookBytes.substr(at, RECORD_SIZE) : std::string();
}

}  // namespace rux::test
