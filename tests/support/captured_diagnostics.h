#pragma once
// Sends the Key Book code's diagnostics to a string while it lives.
#include <sstream>

#include "keybook/key_book.h"

namespace rux::test {

struct CapturedDiagnostics {
  CapturedDiagnostics() { SetDiagnostics(&text); }
  ~CapturedDiagnostics() { SetDiagnostics(nullptr); }
  std::string Text() const { return text.str(); }
  std::string Take() {
    const std::string taken = text.str();
    text.str({});
    return taken;
  }
  std::ostringstream text;
};

}  // namespace rux::test
