#pragma once

namespace rux {

// The application: runs the main window modally; the program ends when it closes.
class CShellruxApp {
 public:
  // Returns false: there is no message loop of the application's own.
  bool InitInstance();
};

}  // namespace rux
