#pragma once
// Sends the Key Book code's diagnostics to a string while it lives.
#include <sstream>
#include <utility>

#include "keybook/key_book.h"

namespace rux::test {

struct CapturedDiagnostics {
  CapturedDiagnostics() { SetDiagnostics(&text); }
  ~CapturedDiagnostics() { SetDiagnostics(nullptr); }
  std::string Text() const { return text.str(); }
  std::string Take() { return std::exchange(text, std::ostringstream()).str(); }  // and forget
  std::ostringstream text;
};

}  // namespace rux::test
