// What the engine is handed: the command line, the items a started engine
// receives, the escaped parameters and the console's cut of the job's texts.
#include <QString>
#include <cerrno>

#include <gtest/gtest.h>

#include "engine/engine_contract.h"
#include "engine/job_text.h"
#include "platform/seams/child_process.h"
#include "support/temp_dir.h"

namespace rux {
namespace {

using namespace std::string_literals;

TEST(EngineCommandLine, TwentyItemsJoinedBySingleBlanks) {
  EngineItems items{"books.dat", 3, 'c', "a.txt", "b.dat", "0", {}};
  items.params.fill("0");
  const QString encode = R"("books.dat" 3 c "a.txt" "b.dat" "0" "0" "0" "0" "0" "0" "0" "0" "0" )"
                         R"("0" "0" "0" "0" "0" "0")";
  EXPECT_EQ(EngineCommandLine(items), encode);
  items.mode = 'd';
  EXPECT_EQ(EngineCommandLine(items), QString(encode).replace(" c ", " d "));
}

// Started without a shell, the engine receives the paths as they are and the
// parameters without the backslashes that escape their double quotes.
TEST(RunEngine, TheEngineReceivesEachItemAsItStands) {
  EngineItems items{R"(my "best" books.dat)", 3,          'c', R"(C:\in\)",
                    R"(\\server\b.dat)",      R"(two\\)", {}};
  const std::pair<QString, std::string> params[] = {
      // clang-format off
      {R"(say "hi")", R"(say "hi")"}, {R"(C:\out\)", R"(C:\out\)"}, {R"(a\"b)", R"(a"b)"},
      {R"(a\\"b)", R"(a\"b)"}, {R"(x" "y)", R"(x" "y)"}, {R"(\\)", R"(\\)"}, {"tab\there", "tab\there"},
      {"$HOME; `id` | x", "$HOME; `id` | x"}, {"ñandú €", "ñandú €"},
      // clang-format on
  };
  std::string expected = items.keyBook.toStdString() + '\0' + "3\0c\0"s + R"(C:\in\)" + '\0' +
                         R"(\\server\b.dat)" + '\0' + R"(two\\)" + '\0';
  items.params.fill("0");
  for (std::size_t n = 0; n < std::size(params); ++n) {
    items.params[n] = EscapeQuotes(params[n].first);
    expected += params[n].second + '\0';
  }
  for (std::size_t n = std::size(params); n < 14; ++n) expected += "0"s + '\0';
  test::TempDir dir;
  ::setenv("FAKE_ENGINE_RECORD", dir.File("items").c_str(), 1);
  EngineStart start = RunEngine('"' + QString(FAKE_ENGINE_PATH) + '"', EngineCommandLine(items));
  ::unsetenv("FAKE_ENGINE_RECORD");
  ASSERT_TRUE(start.process);
  EXPECT_EQ(start.process->Wait(), 0);
  EXPECT_EQ(test::ReadBytes(dir.File("items")), expected + '\n');

  const QString missing = '"' + QString::fromStdString(dir.File("none")) + '"';
  EXPECT_EQ(RunEngine(missing, "x").error, ENOENT);
  EXPECT_EQ(RunEngine('"' + QString::fromStdString(dir.Path()) + '"', "x").error, EACCES);
  EXPECT_FALSE(RunEngine("\"\"", "x").process);
}

// A backslash goes before each double quote that has none, so escaping twice
// changes nothing; nothing is cut.
TEST(EscapeQuotes, PutsABackslashBeforeEachUnescapedQuoteOnce) {
  const std::pair<QString, QString> cases[] = {
      // clang-format off
      {"", ""}, {"plain C:\\dir\\ $x;`y`", "plain C:\\dir\\ $x;`y`"}, {R"(say "hi")", R"(say \"hi\")"},
      {R"("first)", R"(\"first)"}, {R"(already \"done\")", R"(already \"done\")"}, {R"(""")", R"(\"\"\")"},
      {R"(two \\" slashes)", R"(two \\" slashes)"}, {R"(x"\"y)", R"(x\"\"y)"}, {"\"Ñandú\"", "\\\"Ñandú\\\""},
      {QString("ab\"").repeated(3000), QString("ab\\\"").repeated(3000)},
      // clang-format on
  };
  for (const auto& [typed, escaped] : cases) {
    EXPECT_EQ(EscapeQuotes(typed), escaped) << typed.left(20).toStdString();
    EXPECT_EQ(EscapeQuotes(escaped), escaped) << typed.left(20).toStdString();
  }
}

// A character counts as its Windows-1252 byte, or as its UTF-8 bytes when it
// has none there, and is never split.
TEST(ConsoleCut, KeepsTheLongestBeginningOf65Bytes) {
  const QString a63(63, 'a'), polish = "Ł", smile = "😀", accented = QString("é€´").repeated(30);
  const std::pair<QString, QString> cases[] = {
      // clang-format off
      {"", ""}, {QString(65, 'x'), QString(65, 'x')}, {QString(66, 'x'), QString(65, 'x')},
      {accented, accented.left(65)}, {a63 + polish + "z", a63 + polish}, {a63 + "a" + polish, a63 + "a"},
      {a63.left(61) + smile + "z", a63.left(61) + smile}, {a63.left(62) + smile, a63.left(62)},
      // clang-format on
  };
  for (const auto& [text, cut] : cases)
    EXPECT_EQ(CutToConsoleBytes(text, kConsoleWriteBytes), cut) << text.toStdString();
}

}  // namespace
}  // namespace rux
