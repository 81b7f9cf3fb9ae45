// Every item of the engine's command line splits back into what it holds,
// whatever double quotes and backslashes are in it.
#include <QString>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/engine_contract.h"
#include "engine/job_text.h"
#include "platform/seams/child_process.h"

namespace rux {
namespace {

TEST(CommandLineQuoting, PathsArriveAsTheyAreAndParametersWithoutTheirEscapes) {
  EngineItems items;
  items.keyBook = R"(my "best" books.dat)";
  items.keyNumber = 3;
  items.source = R"(C:\in\)";
  items.target = R"(\\server\share\b.dat)";
  items.verify = R"(two\\)";
  const struct {
    const char* typed;
    const char* received;
  } params[] = {
      {R"(say "hi")", R"(say "hi")"},
      {R"(C:\out\)", R"(C:\out\)"},  // a trailing backslash does
                                     // not swallow the next items
      {R"(a\"b)", R"(a"b)"},         // the user's own escape counts as one
      {R"(a\\"b)", R"(a\"b)"},       // one backslash less before the quote, as for any quote
      {R"(x" "y)", R"(x" "y)"},
      {R"(\\)", R"(\\)"},
      {"tab\there", "tab\there"},
  };
  items.params.fill("0");
  for (std::size_t n = 0; n < std::size(params); ++n)
    items.params[n] = EscapeQuotes(params[n].typed);
  std::vector<std::string> expected = {R"(my "best" books.dat)",  "3",       "c", R"(C:\in\)",
                                       R"(\\server\share\b.dat)", R"(two\\)"};
  for (const auto& p : params) expected.push_back(p.received);
  expected.resize(20, "0");
  EXPECT_EQ(SplitCommandLine(EngineCommandLine(items).toStdString()), expected);
  // Items without quotes or trailing backslashes are just put in quotes.
  items.keyBook = R"(C:\books\my books.dat)";
  items.source = "a.txt";
  EXPECT_TRUE(EngineCommandLine(items).startsWith(R"("C:\books\my books.dat" 3 c "a.txt" )"));
}

}  // namespace
}  // namespace rux
