// The whole road with the shipped engine: choose a Key Book made by the Key
// Book code, ENCODE a file, DECODE it to another, and read the boxes and the log.
#include "app_fixture.h"

namespace rux::test {
namespace {

class EndToEnd : public AppTest {
 protected:
  void Run(const char* button, const std::string& source, const std::string& target) {
    prompts.Pick(QString::fromStdString(source)).Pick(QString::fromStdString(target));
    Press("sourceBrowse");
    Press("targetBrowse");
    prompts.Clear();
    AppTest::Run(button);
  }

  const QString engine = RUX4_PATH;
};

TEST_F(EndToEnd, EncodeThenDecodeGivesBackTheFile) {
  ChooseBook(MakeBook(dir, {"office", "travel"}));
  PickEntry(Combo(), 1);
  ASSERT_EQ(window.m_nKeyNumber, 2);
  SetEnginePath(engine);
  const std::string plain = std::string("A secret letter.\n") + std::string(200000, 'x');
  WriteBytes(dir.File("letter.txt"), plain);

  Run("encode", dir.File("letter.txt"), dir.File("letter.rux"));
  EXPECT_EQ(prompts.Captions(), QStringList({"ENCODE", "OK"}));
  EXPECT_EQ(prompts.MessageTexts().last(),
            "Process OK... " + engine + "...OK\nProcess OK... RUX 4.0...OK...\n");
  EXPECT_NE(ReadBytes(dir.File("letter.rux")), plain);
  EXPECT_NE(console.output.find("result: OK"), std::string::npos) << console.output;

  Run("decode", dir.File("letter.rux"), dir.File("letter-back.txt"));
  EXPECT_EQ(prompts.Captions(), QStringList({"DECODE", "OK"}));
  EXPECT_EQ(ReadBytes(dir.File("letter-back.txt")), plain);
  EXPECT_TRUE(window.m_strLog.contains("Process OK... " + engine + "...OK.\nDecoded OK..."));
  EXPECT_EQ(window.LogPanel()->toPlainText(), window.m_strLog);
}

TEST_F(EndToEnd, AnotherMasterKeyCannotDecodeAndNothingIsWritten) {
  ChooseBook(MakeBook(dir, {"office", "travel"}));
  SetEnginePath(engine);
  WriteBytes(dir.File("letter.txt"), "for office eyes only");
  Run("encode", dir.File("letter.txt"), dir.File("letter.rux"));
  ASSERT_EQ(prompts.Captions(), QStringList({"ENCODE", "OK"}));

  PickEntry(Combo(), 1);  // travel
  Run("decode", dir.File("letter.rux"), dir.File("letter-back.txt"));
  EXPECT_EQ(prompts.Captions(), QStringList({"DECODE", "ERROR", "ERROR"}));
  EXPECT_EQ(prompts.MessageTexts()[1], "Process Error... " + engine + "...\nDecoded...ERROR.");
  EXPECT_EQ(prompts.MessageTexts()[2], "Error number: 78");  // authentication failed
  EXPECT_FALSE(Exists(dir.File("letter-back.txt")));
}

}  // namespace
}  // namespace rux::test
