#pragma once
// Stands in for the console: records each use and keeps what the engine printed.
#include <QStringList>
#include <string>

#include "platform/seams/child_process.h"
#include "platform/seams/console.h"

namespace rux::test {

class RecordingConsole : public Console {
 public:
  RecordingConsole() { InstallConsole(this); }
  ~RecordingConsole() override { InstallConsole(nullptr); }

  QStringList events;  // "open", "title:<title>", "write:<text>", "run", "release", in order
  std::string output;  // what the engine printed

  void Open() override { events << "open"; }
  void SetTitle(const QString& title) override { events << "title:" + title; }
  void Write(const QString& text) override { events << "write:" + text; }
  int Run(ChildProcess& process) override {
    events << "run";
    return process.ReadToEnd([this](const std::string& chunk) { output += chunk; });
  }
  void Release() override { events << "release"; }
};

}  // namespace rux::test
