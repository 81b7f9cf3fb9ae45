#pragma once
// shell_rux-cli: Key Books, configuration files and engine jobs from the
// command line, over the same libraries as the window program.
#include <iosfwd>
#include <string>
#include <vector>

namespace rux::cli {

struct Streams {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  // Where the confirmation of a job is asked: the terminal, or nothing.
  std::istream* terminal = nullptr;
};

// Exit statuses besides a job's own error number.
constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

// Runs one command line (without the program name) and returns the exit status.
int Run(const std::vector<std::string>& args, Streams streams);

}  // namespace rux::cli
