// Escaping the parameters' double quotes, and the console's cut of its writes.
#include <QString>

#include <gtest/gtest.h>

#include "engine/job_text.h"

namespace rux {
namespace {

TEST(EscapeQuotes, PutsABackslashBeforeEachUnescapedQuoteOnce) {
  const struct {
    QString typed, escaped;
  } cases[] = {
      {"", ""},
      {"plain C:\\dir\\ $x;`y`", "plain C:\\dir\\ $x;`y`"},
      {R"(say "hi")", R"(say \"hi\")"},
      {R"("first)", R"(\"first)"},
      {R"(already \"done\")", R"(already \"done\")"},
      {R"("")", R"(\"\")"},
      {R"(""")", R"(\"\"\")"},
      {R"(two \\" slashes)", R"(two \\" slashes)"},
      {R"(x"\"y)", R"(x\"\"y)"},
      {"\"Ñandú\"", "\\\"Ñandú\\\""},
      {QString("ab\"").repeated(3000), QString("ab\\\"").repeated(3000)},  // nothing is cut
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EscapeQuotes(c.typed), c.escaped) << c.typed.left(20).toStdString();
    EXPECT_EQ(EscapeQuotes(c.escaped), c.escaped) << c.typed.left(20).toStdString();
  }
}

// A character counts as its Windows-1252 byte, or as its UTF-8 bytes when it
// has none there, and is never split.
TEST(ConsoleCut, KeepsTheLongestBeginningOf65Bytes) {
  const QString a63(63, 'a'), polish = "Ł", smile = "\U0001F600";
  const QString path = "\n Source File: " + QString("/home/user/").repeated(10);
  const QString accented = QString("é€´").repeated(30);
  const struct {
    QString text, cut;
  } cases[] = {
      {"", ""},
      {"\n ENCODING...Wait a moment please", "\n ENCODING...Wait a moment please"},
      {QString(65, 'x'), QString(65, 'x')},
      {path, path.left(65)},
      {accented, accented.left(65)},
      {a63 + polish + "z", a63 + polish},
      {a63 + "a" + polish, a63 + "a"},
      {a63.left(61) + smile + "z", a63.left(61) + smile},
      {a63.left(62) + smile, a63.left(62)},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CutToConsoleBytes(c.text, kConsoleWriteBytes), c.cut) << c.text.toStdString();
}

}  // namespace
}  // namespace rux
