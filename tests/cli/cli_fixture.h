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

// A failure as every command reports one: its status, nothing on standard
// output, and a last line on standard error holding the expected text (the
// Key Book code's own messages may come before it).
inline void ExpectFailure(const CliResult& result, int status, const std::string& text) {
  EXPECT_EQ(result.status, status) << result.err;
  EXPECT_EQ(result.out, "");
  ASSERT_TRUE(result.err.ends_with('\n')) << result.err;
  const std::size_t start = result.err.rfind('\n', result.err.size() - 2) + 1;
  const std::string last = result.err.substr(start);
  EXPECT_TRUE(last.starts_with("shell_rux-cli: ")) << result.err;
  EXPECT_NE(last.find(text), std::string::npos) << result.err;
}

class CliTest : public ::testing::Test {
 protected:
  QuietBook quiet;  // what the Key Book code would print outside a command
  TempDir dir;
  std::string book = dir.File("book.dat");
};

}  // namespace rux::test
