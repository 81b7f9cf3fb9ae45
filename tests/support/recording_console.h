#pragma once
// Stands in for the console: records what the job does with it and runs the
// engine to its end, keeping what it printed.
#include <QStringList>
#include <functional>
#include <string>

#include "platform/seams/console.h"

namespace rux::test {

class RecordingConsole : public Console {
 public:
  RecordingConsole();  // installs itself
  ~RecordingConsole() override;

  // "open", "title:<title>", "write:<text>", "run", "release", in order.
  QStringList events;
  std::string output;  // what the engine printed
  bool isOpen = false;
  // Runs once the engine has started, before waiting for it (e.g. to stop it).
  std::function<void(ChildProcess&)> duringRun;

  void Open() override;
  void SetTitle(const QString& title) override;
  void Write(const QString& text) override;
  int Run(ChildProcess& process) override;
  void Release() override;
};

}  // namespace rux::test
