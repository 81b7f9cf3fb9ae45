#pragma once
// Starting another program without a shell, reading what it prints, waiting
// for it and stopping it.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace rux {

// Splits a parameters text into arguments by the Microsoft C runtime's rules:
// blanks and tabs outside quotes separate; 2n backslashes before a double quote
// give n backslashes and the quote toggles quoting; 2n+1 give n backslashes and
// a literal quote; other backslashes are literal; "" inside a quoted item is a
// literal quote and quoting goes on.
std::vector<std::string> SplitCommandLine(std::string_view text);

// The folder of the running program (QCoreApplication::applicationDirPath on
// Linux reads the same link), empty when it cannot be read.
std::string ProgramFolder();

// A program name without a slash is looked up as the Windows loader does:
// first in programFolder (the running program's, so the engine shipped beside
// the front end always wins), then in the current folder, then on PATH. A name
// with a slash is used as it stands. Returns the path to start (the name
// itself when not found).
std::string FindProgram(const std::string& name,
                        const std::string& programFolder = ProgramFolder());

// The same lookup without PATH: the program folder's path or "./name", empty
// when neither folder holds the name. For a command line handed to the
// command interpreter, which searches PATH itself.
std::string FindProgramNearby(const std::string& name,
                              const std::string& programFolder = ProgramFolder());

class ChildProcess {
 public:
  struct Started {
    std::unique_ptr<ChildProcess> process;  // empty when the start failed
    int error = 0;                          // the operating system's error number
  };
  // Starts the program with the given arguments (argv[0] is the program).
  // Its standard input is empty; its standard output and error both go to
  // OutputFd().
  static Started Start(const std::string& program, const std::vector<std::string>& arguments);

  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();  // a process still running is killed

  // Read end of the output pipe (non-blocking). -1 once closed.
  int OutputFd() const { return outputFd_; }
  // Reads what is available now; false at the end of the output.
  bool ReadAvailable(std::string& into);
  void CloseOutput();

  // The exit status once the process has ended: its status, or 128 + the
  // signal number when a signal ended it.
  std::optional<int> Poll();
  int Wait();
  // Hands over the output as it comes until the process has ended (a program
  // it started may hold the pipe longer) and returns its exit status.
  int ReadToEnd(const std::function<void(const std::string&)>& onOutput);
  bool Running() { return !Poll().has_value(); }
  void Terminate();  // SIGTERM
  void Kill();       // SIGKILL
  pid_t Pid() const { return pid_; }

 private:
  ChildProcess(pid_t pid, int outputFd) : pid_(pid), outputFd_(outputFd) {}
  pid_t pid_;
  int outputFd_;
  std::optional<int> status_;
};

}  // namespace rux
