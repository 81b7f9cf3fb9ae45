#include "support/recording_console.h"

#include "platform/seams/child_process.h"

namespace rux::test {

RecordingConsole::RecordingConsole() { InstallConsole(this); }
RecordingConsole::~RecordingConsole() { InstallConsole(nullptr); }

void RecordingConsole::Open() {
  events << "open";
  isOpen = true;
}

void RecordingConsole::SetTitle(const QString& title) { events << "title:" + title; }

void RecordingConsole::Write(const QString& text) { events << "write:" + text; }

int RecordingConsole::Run(ChildProcess& process) {
  events << "run";
  if (duringRun) duringRun(process);
  return process.ReadToEnd([this](const std::string& chunk) { output += chunk; });
}

void RecordingConsole::Release() {
  events << "release";
  isOpen = false;
}

}  // namespace rux::test
