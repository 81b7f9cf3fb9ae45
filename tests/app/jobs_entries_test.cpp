// What ENCODE and DECODE write to the log and hand the engine, for a run that
// ends well.
#include <QPlainTextEdit>

#include "jobs_fixture.h"

namespace rux {
namespace {

using test::JobsTest;
using test::kSeparator;
using test::kStamp;

const QString kEngine = FAKE_ENGINE_PATH;

TEST_F(JobsTest, EncodeWritesTheHeaderAndTheOutcomeEntry) {
  FillExample();
  window.m_strConfigFile = "/home/u/work.cfg";
  window.m_strVerifyFile = "check.key";
  window.UpdateData(false);
  TypeParam(1, R"(say "hi")");
  TypeParam(13, "ñ");
  Run("encode");
  const QString expected =
      kSeparator + "\n DATE: " + kStamp + "\n DATE: " + kStamp +
      "\n ...___ENCODING___...."
      "\nConfiguration file: /home/u/work.cfg"
      "\nProgram: " +
      kEngine +
      "\nKey Book: books.dat"
      "\nKey Nr: 3"
      "\nSource: a.txt"
      "\nTarget b.dat"
      "\nConfirmation file check.key"
      "\n_______PARAMETERS________ "
      "\nParameter 1: say \\\"hi\\\""
      "\nParameter 2: 0\nParameter 3: 0\nParameter 4: 0\nParameter 5: 0\nParameter 6: 0"
      "\nParameter 7: 0\nParameter 8: 0\nParameter 9: 0\nParameter 10: 0"
      "\nParameter 11:(ATTENTION ERROR DON\u00B4T USE THAT) :0"
      "\nParameter 12: 0"
      "\nParameter 13: ñ"
      "\nParameter 14:(ATTENTION ERROR DON\u00B4T USE THAT) :0"
      "\n _____ENCODING______....Please Wait...._____"
      "\n DATE: " +
      kStamp + "Process OK... " + kEngine + "...OK." + kSeparator;
  EXPECT_EQ(window.m_strLog, expected);
  EXPECT_EQ(window.LogPanel()->toPlainText(), expected);  // the closing line too, at once
  ASSERT_EQ(prompts.Messages().size(), 2u);
  EXPECT_EQ(prompts.Messages()[0].text,
            "ENCODE:\n\nSource file: a.txt\nTarget file: b.dat\n\nAre you sure?");
  EXPECT_EQ(prompts.Messages()[0].caption, "ENCODE");
  EXPECT_EQ(prompts.Messages()[0].buttons, Buttons::OkCancel);
  EXPECT_EQ(prompts.Messages()[1].text,
            "Process OK... " + kEngine + "...OK\nProcess OK... RUX 4.0...OK...\n");
  EXPECT_EQ(prompts.Messages()[1].caption, "OK");
  EXPECT_EQ(prompts.Messages()[1].buttons, Buttons::Ok);
  for (const test::Prompt& p : prompts.Messages()) EXPECT_EQ(p.icon, Icon::Exclamation);
}

TEST_F(JobsTest, DecodeWritesSpanishHeaderOneDateLineAndItsOutcomeEntry) {
  FillExample();
  window.m_strConfigFile = "/home/u/work.cfg";
  window.UpdateData(false);
  TypeParam(2, "x");
  Run("decode");
  const QString expected =
      kSeparator + "\n FECHA: " + kStamp +
      "\n ...___DECODIFICANDO___...."
      "\nFichero de Configuracion: /home/u/work.cfg"
      "\nPrograma: " +
      kEngine +
      "\nLibro de CLAVES: books.dat"
      "\nNumero Clave: 3"
      "\nFichero Origen: a.txt"
      "\nFichero Destino b.dat"
      "\nFichero Confirmacion 0"
      "\n_______PARAMETROS________ "
      "\nParametro 1: 0\nParametro 2: x\nParametro 3: 0\nParametro 4: 0\nParametro 5: 0"
      "\nParametro 6: 0\nParametro 7: 0\nParametro 8: 0\nParametro 9: 0\nParametro 10: 0"
      "\nParametro 11:(ATENCION ERROR EN ESTE PARAMETRO NO UTILIZAR) :0"
      "\nParametro 12: 0\nParametro 13: 0"
      "\nParametro 14:(ATENCION ERROR EN ESTE PARAMETRO NO UTILIZAR) :0"
      "\n _____DECODIFICANDO______....Espere...._____"
      "\n DATE: " +
      kStamp + "Process OK... " + kEngine + "...OK.\nDecoded OK... RUX 4.0...OK...\n" + kSeparator;
  EXPECT_EQ(window.m_strLog, expected);
  EXPECT_EQ(window.LogPanel()->toPlainText(), expected);
  EXPECT_EQ(prompts.MessageTexts(),
            QStringList({"DECODE: \n\nSource file: a.txt\nTarget file: b.dat\n\nAre you sure?",
                         "Process OK..." + kEngine + "...OK\nDecoded OK... RUX 4.0...OK...\n"}));
  EXPECT_EQ(prompts.Captions(), QStringList({"DECODE", "OK"}));
}

TEST_F(JobsTest, EntriesAreAppendedToWhatTheLogPanelHolds) {
  FillExample();
  window.LogPanel()->setPlainText("typed by the user");
  Run("encode");
  EXPECT_TRUE(window.m_strLog.startsWith("typed by the user" + kSeparator + "\n DATE: "));
}

TEST_F(JobsTest, TheEngineGetsTheTwentyItemsOfTheExampleInBothModes) {
  FillExample();
  Run("encode");
  Run("decode");
  const auto runs = Runs();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0], test::ExampleItems("c"));
  EXPECT_EQ(runs[1], test::ExampleItems("d"));
}

TEST_F(JobsTest, EmptyConfirmationFileAndParametersBecomeZeroAndStayZero) {
  FillExample();
  TypeParam(5, "five");
  Run("encode");
  EXPECT_EQ(window.m_strVerifyFile, "0");
  EXPECT_EQ(test::Child<QLineEdit>(&window, "verifyFile")->text(), "0");
  for (int n = 1; n <= 14; ++n) {
    const QString shown = n == 5 ? "five" : "0";
    EXPECT_EQ(window.m_strParam[n - 1], shown) << n;
    EXPECT_EQ(window.ParamField(n)->text(), shown) << n;
  }
  ASSERT_EQ(Runs().size(), 1u);
  EXPECT_EQ(Runs()[0][5], "0");
  EXPECT_EQ(Runs()[0][10], "five");
}

TEST_F(JobsTest, ConsoleShowsTitleAndFourTextsAndIsReleasedAfterTheRun) {
  FillExample();
  window.m_strSourceFile = "/data/" + QString("long-folder-name/").repeated(5) + "plain.txt";
  window.UpdateData(false);
  Run("encode");
  const QString source = "\n Source File: " + window.m_strSourceFile;
  EXPECT_EQ(console.events,
            QStringList({"open", "title:CODIFICANDO ...RUX...",
                         "write:\n ENCODING...Wait a moment please", "write:" + source.left(65),
                         "write:\n Target File: b.dat", "write:\n ENCODING...Wait a moment please",
                         "run", "release"}));
  EXPECT_EQ(console.output, "fake engine: 20 items\n");
  console.events.clear();
  Run("decode");
  EXPECT_EQ(console.events.mid(0, 3), QStringList({"open", "title:DECODIFICANDO ...RUX...",
                                                   "write:\n DECODING...Wait a moment please"}));
  EXPECT_EQ(console.events.last(), "release");
}

TEST_F(JobsTest, FocusMovesToTheLogPanel) {
  FillExample();
  window.ParamField(1)->setFocus();
  Run("encode");
  EXPECT_EQ(window.focusWidget(), window.LogPanel());
}

}  // namespace
}  // namespace rux
