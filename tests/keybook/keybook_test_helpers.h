#pragma once
// Shared pieces of the Key Book tests: captured diagnostics, the sample
// record and its bytes built field by field from the record layout.
#include <sstream>
#include <string>

#include "keybook/key_book.h"
#include "keybook/master_key_record.h"

namespace rux::test {

// Sends the Key Book diagnostics to a string for the life of the object.
class CapturedDiagnostics {
 public:
  CapturedDiagnostics() { SetDiagnostics(&text_); }
  ~CapturedDiagnostics() { SetDiagnostics(nullptr); }
  CapturedDiagnostics(const CapturedDiagnostics&) = delete;
  CapturedDiagnostics& operator=(const CapturedDiagnostics&) = delete;
  std::string Text() const { return text_.str(); }
  std::string Take() {
    std::string text = text_.str();
    text_.str({});
    return text;
  }

 private:
  std::ostringstream text_;
};

// text, NUL, filler up to width.
inline std::string Field(const std::string& text, int width, char filler) {
  return text + '\0' + std::string(width - text.size() - 1, filler);
}

// The sample record: name "test", Key 1 "ab", Keys 2 to 9 two letters each,
// Key 10 "abc" (beginning with Key 1), Enlarge 5, Scramble 3.25.
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
  const MasterKeyRecord record = SampleRecord(name);
  std::string bytes = Field(name, 20, '_');
  for (const std::string& key : record.keys) bytes += Field(key, 65, '_');
  bytes += Field("5000000000", 15, ',');
  bytes += Field("3250000000.01", 20, '-');
  return bytes;
}

}  // namespace rux::test
