#pragma once
// What every subcommand shares: its arguments, its streams and the way it fails.
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace rux::cli {

// Ends a subcommand with a one-line message on standard error and a status.
struct Failure {
  int status;
  std::string message;
};

[[noreturn]] inline void Fail(const std::string& message, int status = kFailed) {
  throw Failure{status, message};
}
[[noreturn]] inline void UsageFail(const std::string& message) { throw Failure{kUsage, message}; }

// The arguments of one subcommand: positional ones and --flags.
class Arguments {
 public:
  Arguments(const std::vector<std::string>& args, std::size_t first);
  bool Flag(const std::string& name);  // takes --name when present
  std::string Next(const char* what);  // the next positional argument, or a usage failure
  bool HasMore() const { return next_ < positional_.size(); }
  std::vector<std::string> Rest();
  void Done();  // a usage failure when arguments are left over

 private:
  std::vector<std::string> positional_;
  std::vector<std::string> flags_;
  std::size_t next_ = 0;
};

// A record number: a positive decimal integer, else a usage failure.
int RecordNumber(const std::string& text);

int BookCommand(Arguments& args, Streams& io);
int ConfigCommand(Arguments& args, Streams& io);
int RunCommand(Arguments& args, Streams& io);

}  // namespace rux::cli
