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
  std::string out;
  std::string err;
};

inline CliResult RunCli(const std::vector<std::string>& args, const std::string& input = "",
                        std::istream* terminal = nullptr) {
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  const int status = cli::Run(args, {in, out, err, terminal});
  return {status, out.str(), err.str()};
}

class CliTest : public ::testing::Test {
 protected:
  CapturedDiagnostics quiet;  // what the Key Book code would print outside a command
  TempDir dir;
  std::string book = dir.File("book.dat");
};

}  // namespace rux::test
