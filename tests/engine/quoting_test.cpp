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

EngineItems Plain() {
  EngineItems items;
  items.keyBook = "books.dat";
  items.keyNumber = 3;
  items.source = "a.txt";
  items.target = "b.dat";
  items.verify = "0";
  items.params.fill("0");
  return items;
}

std::vector<std::string> Split(const EngineItems& items) {
  return SplitCommandLine(EngineCommandLine(items).toStdString());
}

TEST(CommandLineQuoting, PathsArriveAsTheyAre) {
  EngineItems items = Plain();
  items.keyBook = R"(my "best" books.dat)";
  items.source = R"(C:\in\)";
  items.target = R"(\\server\share\b.dat)";
  items.verify = R"(two\\)";
  const std::vector<std::string> got = Split(items);
  ASSERT_EQ(got.size(), 20u);
  EXPECT_EQ(got[0], R"(my "best" books.dat)");
  EXPECT_EQ(got[3], R"(C:\in\)");
  EXPECT_EQ(got[4], R"(\\server\share\b.dat)");
  EXPECT_EQ(got[5], R"(two\\)");
  EXPECT_EQ(got[6], "0");
}

TEST(CommandLineQuoting, ParametersArriveWithoutTheirEscapingBackslashes) {
  struct Case {
    const char* typed;
    const char* received;
  } cases[] = {
      {R"(say "hi")", R"(say "hi")"}, {R"(C:\out\)", R"(C:\out\)"},  // a trailing backslash does
                                                                     // not swallow the next items
      {R"(a\"b)", R"(a"b)"},    // the user's own escape counts as one
      {R"(a\\"b)", R"(a\"b)"},  // one backslash less before the quote, as for any quote
      {R"(x" "y)", R"(x" "y)"},       {R"(\\)", R"(\\)"},           {"tab\there", "tab\there"},
  };
  EngineItems items = Plain();
  int n = 0;
  for (const Case& c : cases) items.params[n++] = EscapeQuotes(c.typed);
  const std::vector<std::string> got = Split(items);
  ASSERT_EQ(got.size(), 20u);
  for (n = 0; n < int(std::size(cases)); ++n) EXPECT_EQ(got[6 + n], cases[n].received) << n;
  EXPECT_EQ(got[19], "0");
}

TEST(CommandLineQuoting, ItemsWithoutQuotesOrTrailingBackslashesAreJustQuoted) {
  EngineItems items = Plain();
  items.keyBook = R"(C:\books\my books.dat)";
  items.params[0] = R"(escaped \"quote\")";
  EXPECT_TRUE(EngineCommandLine(items).startsWith(
      R"("C:\books\my books.dat" 3 c "a.txt" "b.dat" "0" "escaped \"quote\"" "0")"));
}

}  // namespace
}  // namespace rux
