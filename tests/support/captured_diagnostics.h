#pragma once
// The Key Book code's diagnostics, kept off the test output.
#include <sstream>
#include <string>

#include "keybook/key_book.h"

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

}  // namespace rux::test
