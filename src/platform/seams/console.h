#pragma once
// The console the front end opens for the length of an engine run: a title,
// a few written texts, and the running program's own output. The program
// installs a window; tests install a recording stand-in; the command line
// program writes to its standard output.
#include <QString>

namespace rux {

class ChildProcess;

class Console {
 public:
  virtual ~Console() = default;
  virtual void Open() = 0;
  virtual void SetTitle(const QString& title) = 0;
  virtual void Write(const QString& text) = 0;
  // Shows what the process prints until it has ended and returns its exit
  // status. The user may ask to stop it on the way.
  virtual int Run(ChildProcess& process) = 0;
  virtual void Release() = 0;
};

void InstallConsole(Console* console);
Console& CurrentConsole();

// Asked when the user closes the console while the engine runs.
inline const char* const kStopEngineText = "The engine is still running. Stop it?";
inline const char* const kStopEngineCaption = "STOP";
// After a stop request: terminate at once, kill when it still runs after this.
constexpr int kStopGraceMilliseconds = 5000;

}  // namespace rux
