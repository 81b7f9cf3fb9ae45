#pragma once
// The command line run in process: arguments, what standard input holds and
// the terminal (none unless given); its status and both output streams.
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/cli.h"
#include "editing/book_fixture.h"
#include "support/temp_dir.h"

namespace rux::test {

struct CliResult {
  int status = -1;
  std::string out, err;
};

inline CliResult RunCli(const std::vector<std::string>& args, const std::string& input = "",
                        const std::string& terminal = "") {
  std::istringstream in(input), answers(terminal);
  std::ostringstream out, err;
  const int status = cli::Run(args, {in, out, err, terminal.empty() ? nullptr : &answers});
  return {status, out.str(), err.str()};
}

// A folder for a Key Book and a configuration.
class CliTest : public ::testing::Test {
 protected:
  CapturedDiagnostics quiet;  // what the Key Book code would print outside a command
  TempDir dir;
  std::string book = dir.File("book.dat"), config = dir.File("job.cfg");
};

}  // namespace rux::test
