// What the user typed on the way to the engine: escaping, the confirmation,
// the mandatory fields, and texts that must reach the engine whole and as
// they are.
#include <QLineEdit>

#include "jobs_fixture.h"

namespace rux {
namespace {

using test::JobsTest;

TEST_F(JobsTest, CancelAtTheConfirmationKeepsTheEscapedFieldsAndDoesNothingElse) {
  FillExample();
  TypeParam(1, R"(say "hi")");
  TypeParam(4, R"("quoted")");
  for (const char* button : {"encode", "decode"}) {
    prompts.Answer(Answer::Cancel);
    Press(button);
  }
  EXPECT_EQ(window.ParamField(1)->text(), R"(say \"hi\")");
  EXPECT_EQ(window.m_strParam[0], R"(say \"hi\")");
  EXPECT_EQ(window.ParamField(4)->text(), R"(\"quoted\")");
  EXPECT_TRUE(window.ParamField(2)->text().isEmpty());
  EXPECT_TRUE(window.m_strVerifyFile.isEmpty());
  EXPECT_EQ(prompts.Captions(), QStringList({"ENCODE", "DECODE"}));
  EXPECT_TRUE(console.events.isEmpty());
  EXPECT_TRUE(window.m_strLog.isEmpty());
  EXPECT_EQ(window.m_strEngineCommand, "rux4.exe");
  EXPECT_TRUE(Runs().empty());
}

TEST_F(JobsTest, EachEmptyMandatoryFieldStopsTheJobAfterReleasingTheConsole) {
  const char* fields[] = {"engine path", "Key Book", "source", "target"};
  for (const char* field : fields) {
    FillExample();
    const QString name = field;
    if (name == "engine path") SetEnginePath("");
    if (name == "Key Book") window.m_strKeyBook.clear();
    if (name == "source") window.m_strSourceFile.clear();
    if (name == "target") window.m_strTargetFile.clear();
    window.UpdateData(false);
    prompts.Clear();
    console.events.clear();
    bool consoleOpenAtBox = true;
    prompts.onPrompt = [&](const test::Prompt& p) {
      if (p.caption == "ERROR") consoleOpenAtBox = console.isOpen;
    };
    Run("encode");
    ASSERT_EQ(prompts.Messages().size(), 2u) << field;
    EXPECT_EQ(prompts.Messages()[1].text, "MANDATORY PARAMETERS EMPTY.\n\nFILL MANDATORY FIELDS.");
    EXPECT_EQ(prompts.Messages()[1].caption, "ERROR");
    EXPECT_EQ(prompts.Messages()[1].icon, Icon::Exclamation);
    EXPECT_FALSE(consoleOpenAtBox) << field;
    EXPECT_EQ(console.events.size(), 7) << field;  // open, title, four writes, release
    EXPECT_EQ(console.events.last(), "release");
    EXPECT_TRUE(window.m_strLog.isEmpty()) << field;
    EXPECT_TRUE(window.ParamField(1)->text().isEmpty()) << field;  // defaults come after the check
    EXPECT_TRUE(window.m_strVerifyFile.isEmpty()) << field;
    EXPECT_EQ(window.m_strEngineCommand, window.m_strEnginePath) << field;
  }
  EXPECT_TRUE(Runs().empty());
}

TEST_F(JobsTest, PressingTwiceAddsNoMoreBackslashes) {
  FillExample();
  TypeParam(1, R"(a"b)");
  TypeParam(2, R"("first)");
  TypeParam(3, R"(kept \"as is\")");
  Run("encode");
  const QString after[] = {window.ParamField(1)->text(), window.ParamField(2)->text(),
                           window.ParamField(3)->text()};
  EXPECT_EQ(after[0], R"(a\"b)");
  EXPECT_EQ(after[1], R"(\"first)");
  EXPECT_EQ(after[2], R"(kept \"as is\")");
  Run("decode");
  for (int n = 1; n <= 3; ++n) EXPECT_EQ(window.ParamField(n)->text(), after[n - 1]) << n;
  const auto runs = Runs();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0][6], R"(a"b)");
  EXPECT_EQ(runs[0][7], R"("first)");
  EXPECT_EQ(runs[0][8], R"(kept "as is")");
  for (int i = 6; i < 20; ++i) EXPECT_EQ(runs[0][i], runs[1][i]) << i;
}

TEST_F(JobsTest, AwkwardParametersReachTheEngineAsTheyAreWithNoShell) {
  FillExample();
  const QString typed[] = {R"(say "hello world")",
                           R"(C:\out\)",
                           "$HOME; rm -rf /tmp/x",
                           "`id` && echo $(whoami)",
                           QString::fromUtf8("Ñandú über €"),
                           "  blanks  ",
                           R"(a\"b)",
                           "'single' | > <"};
  const std::string received[] = {R"(say "hello world")",
                                  R"(C:\out\)",
                                  "$HOME; rm -rf /tmp/x",
                                  "`id` && echo $(whoami)",
                                  "Ñandú über €",
                                  "  blanks  ",
                                  R"(a"b)",
                                  "'single' | > <"};
  const int fields[] = {1, 2, 3, 4, 5, 6, 7, 12};
  for (int i = 0; i < 8; ++i) TypeParam(fields[i], typed[i]);
  Run("encode");
  const auto runs = Runs();
  ASSERT_EQ(runs.size(), 1u);
  ASSERT_EQ(runs[0].size(), 20u);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(runs[0][5 + fields[i]], received[i]) << fields[i];
  EXPECT_EQ(runs[0][19], "0");
  // The log shows them as the fields do, escaped.
  EXPECT_TRUE(window.m_strLog.contains("\nParameter 1: say \\\"hello world\\\"\n"));
  EXPECT_TRUE(window.m_strLog.contains("\nParameter 2: C:\\out\\\n"));
  EXPECT_TRUE(window.m_strLog.contains(QString::fromUtf8("\nParameter 5: Ñandú über €\n")));
}

TEST_F(JobsTest, LongTextsAreHandedOverAndLoggedWhole) {
  FillExample();
  const QString book = "/books/" + QString("very-long-folder-name/").repeated(40) + "book.dat";
  window.m_strKeyBook = book;
  window.m_nKeyNumber = 123456789;
  window.UpdateData(false);
  const QString param = QString("0123456789").repeated(400);
  TypeParam(1, param);
  Run("encode");
  const auto runs = Runs();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0][0], book.toStdString());
  EXPECT_EQ(runs[0][1], "123456789");
  EXPECT_EQ(runs[0][6], param.toStdString());
  EXPECT_TRUE(window.m_strLog.contains("\nKey Book: " + book + "\n"));
  EXPECT_TRUE(window.m_strLog.contains("\nKey Nr: 123456789\n"));
  EXPECT_TRUE(window.m_strLog.contains("\nParameter 1: " + param + "\n"));
}

TEST_F(JobsTest, TheKeysNeverReachTheEngine) {
  FillExample();
  for (int i = 0; i < 12; ++i) window.m_strKey[i] = QString("SECRETKEY%1").arg(i + 1);
  Run("encode");
  const auto runs = Runs();
  ASSERT_EQ(runs.size(), 1u);
  for (const std::string& item : runs[0]) EXPECT_EQ(item.find("SECRETKEY"), std::string::npos);
  EXPECT_FALSE(window.m_strLog.contains("SECRETKEY"));
}

}  // namespace
}  // namespace rux
