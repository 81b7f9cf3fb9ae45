// Escaping the parameters' double quotes, and the console's cut of its writes.
#include <QString>

#include <gtest/gtest.h>

#include "engine/job_text.h"

namespace rux {
namespace {

TEST(EscapeQuotes, PutsABackslashBeforeEachUnescapedQuote) {
  EXPECT_EQ(EscapeQuotes(""), "");
  EXPECT_EQ(EscapeQuotes("plain C:\\dir\\ $x;`y`"), "plain C:\\dir\\ $x;`y`");
  EXPECT_EQ(EscapeQuotes(R"(say "hi")"), R"(say \"hi\")");
  EXPECT_EQ(EscapeQuotes(R"("first)"), R"(\"first)");
  EXPECT_EQ(EscapeQuotes(R"(already \"done\")"), R"(already \"done\")");
  EXPECT_EQ(EscapeQuotes(R"("")"), R"(\"\")");
  EXPECT_EQ(EscapeQuotes(R"(two \\" slashes)"), R"(two \\" slashes)");
  EXPECT_EQ(EscapeQuotes(QString::fromUtf8("\"Ñandú\"")), QString::fromUtf8("\\\"Ñandú\\\""));
}

TEST(EscapeQuotes, EscapingTwiceChangesNothing) {
  for (const char* text : {"", "\"", "\"\"\"", "a\"b\"c", "\\\"", "x\"\\\"y", "end\""}) {
    const QString once = EscapeQuotes(text);
    EXPECT_EQ(EscapeQuotes(once), once) << text;
  }
}

TEST(EscapeQuotes, LongTextsAreNotCut) {
  const QString text = QString("ab\"").repeated(3000);
  const QString escaped = EscapeQuotes(text);
  EXPECT_EQ(escaped, QString("ab\\\"").repeated(3000));
}

TEST(ConsoleCut, ShortTextsAreWrittenWhole) {
  EXPECT_EQ(CutToConsoleBytes("", 65), "");
  EXPECT_EQ(CutToConsoleBytes("\n ENCODING...Wait a moment please", 65),
            "\n ENCODING...Wait a moment please");
  const QString exact(65, 'x');
  EXPECT_EQ(CutToConsoleBytes(exact, 65), exact);
}

TEST(ConsoleCut, LongTextsKeepTheirFirst65Bytes) {
  const QString text = "\n Source File: " + QString("/home/user/").repeated(10);
  EXPECT_EQ(CutToConsoleBytes(text, 65), text.left(65));
}

TEST(ConsoleCut, Windows1252LettersCountOneByte) {
  const QString accented = QString::fromUtf8("é€´").repeated(30);  // 90 characters
  EXPECT_EQ(CutToConsoleBytes(accented, 65), accented.left(65));
}

TEST(ConsoleCut, OtherCharactersCountTheirUtf8BytesAndAreNeverSplit) {
  const QString polish = QString::fromUtf8("\u0141");  // two UTF-8 bytes, none in Windows-1252
  EXPECT_EQ(CutToConsoleBytes(QString(63, 'a') + polish + "z", 65), QString(63, 'a') + polish);
  EXPECT_EQ(CutToConsoleBytes(QString(64, 'a') + polish, 65), QString(64, 'a'));
  const QString smile = QString::fromUtf8("\U0001F600");  // four bytes, two UTF-16 units
  EXPECT_EQ(CutToConsoleBytes(QString(61, 'a') + smile + "z", 65), QString(61, 'a') + smile);
  EXPECT_EQ(CutToConsoleBytes(QString(62, 'a') + smile, 65), QString(62, 'a'));
}

}  // namespace
}  // namespace rux
