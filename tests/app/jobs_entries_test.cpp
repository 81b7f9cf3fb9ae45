// What ENCODE and DECODE write to the log, show the user and hand the engine
// on the way to a run that ends well.
#include <QDir>
#include <QFile>

#include "app_fixture.h"

namespace rux::test {
namespace {

TEST_F(AppTest, EncodeAppendsTheHeaderAndTheOutcomeEntryAndMovesTheFocusToTheLog) {
  FillExample();
  window.m_strConfigFile = "/home/u/work.cfg";
  window.m_strVerifyFile = "check.key";
  window.UpdateData(false);
  window.LogPanel()->setPlainText("typed by the user");
  TypeParam(1, R"(say "hi")");
  TypeParam(13, "ñ");
  window.ParamField(1)->setFocus();
  Run("encode");
  const QString engine = FAKE_ENGINE_PATH;
  const QString expected =
      "typed by the user" + kSeparator + "\n DATE: " + kStamp + "\n DATE: " + kStamp +
      "\n ...___ENCODING___....\nConfiguration file: /home/u/work.cfg\nProgram: " + engine +
      "\nKey Book: books.dat\nKey Nr: 3\nSource: a.txt\nTarget b.dat"
      "\nConfirmation file check.key\n_______PARAMETERS________ "
      "\nParameter 1: say \\\"hi\\\""
      "\nParameter 2: 0\nParameter 3: 0\nParameter 4: 0\nParameter 5: 0\nParameter 6: 0"
      "\nParameter 7: 0\nParameter 8: 0\nParameter 9: 0\nParameter 10: 0"
      "\nParameter 11:(ATTENTION ERROR DON\u00B4T USE THAT) :0\nParameter 12: 0\nParameter 13: ñ"
      "\nParameter 14:(ATTENTION ERROR DON\u00B4T USE THAT) :0"
      "\n _____ENCODING______....Please Wait...._____\n DATE: " +
      kStamp + "Process OK... " + engine + "...OK." + kSeparator;
  EXPECT_EQ(window.m_strLog, expected);
  EXPECT_EQ(window.LogPanel()->toPlainText(), expected);  // the closing line too, at once
  EXPECT_EQ(window.focusWidget(), window.LogPanel());
  EXPECT_EQ(prompts.MessageTexts(),
            QStringList({"ENCODE:\n\nSource file: a.txt\nTarget file: b.dat\n\nAre you sure?",
                         "Process OK... " + engine + "...OK\nProcess OK... RUX 4.0...OK...\n"}));
  EXPECT_EQ(prompts.Captions(), QStringList({"ENCODE", "OK"}));
  EXPECT_EQ(prompts.Messages()[0].buttons, Buttons::OkCancel);
  EXPECT_EQ(prompts.Messages()[1].icon, Icon::Exclamation);
}

TEST_F(AppTest, DecodeAppendsTheSpanishHeaderAndShowsTheDefaultsZero) {
  FillExample();
  QDir().mkpath(QString::fromStdString(dir.File("my engines")));
  const QString engine = QString::fromStdString(dir.File("my engines/rux 4.exe"));
  ASSERT_TRUE(QFile::copy(FAKE_ENGINE_PATH, engine));
  SetEnginePath(engine);
  window.m_strConfigFile = "/home/u/work.cfg";
  Run("decode");
  const QString expected =
      kSeparator + "\n FECHA: " + kStamp +
      "\n ...___DECODIFICANDO___....\nFichero de Configuracion: /home/u/work.cfg\nPrograma: " +
      engine +
      "\nLibro de CLAVES: books.dat\nNumero Clave: 3\nFichero Origen: a.txt"
      "\nFichero Destino b.dat\nFichero Confirmacion 0\n_______PARAMETROS________ "
      "\nParametro 1: 0\nParametro 2: 0\nParametro 3: 0\nParametro 4: 0\nParametro 5: 0"
      "\nParametro 6: 0\nParametro 7: 0\nParametro 8: 0\nParametro 9: 0\nParametro 10: 0"
      "\nParametro 11:(ATENCION ERROR EN ESTE PARAMETRO NO UTILIZAR) :0"
      "\nParametro 12: 0\nParametro 13: 0"
      "\nParametro 14:(ATENCION ERROR EN ESTE PARAMETRO NO UTILIZAR) :0"
      "\n _____DECODIFICANDO______....Espere...._____\n DATE: " +
      kStamp + "Process OK... " + engine + "...OK.\nDecoded OK... RUX 4.0...OK...\n" + kSeparator;
  EXPECT_EQ(window.m_strLog, expected);
  EXPECT_EQ(prompts.MessageTexts(),
            QStringList({"DECODE: \n\nSource file: a.txt\nTarget file: b.dat\n\nAre you sure?",
                         "Process OK..." + engine + "...OK\nDecoded OK... RUX 4.0...OK...\n"}));
  EXPECT_EQ(prompts.Captions(), QStringList({"DECODE", "OK"}));
  EXPECT_EQ(console.events.mid(1, 2), QStringList({"title:DECODIFICANDO ...RUX...",
                                                   "write:\n DECODING...Wait a moment please"}));
  EXPECT_EQ(console.output, "fake engine: 20 items\n");
  Items example = {"books.dat", "3", "d", "a.txt", "b.dat"};
  example.resize(20, "0");
  EXPECT_EQ(Runs(), std::vector<Items>{example});
  EXPECT_EQ(window.m_strEngineCommand, engine);
  EXPECT_EQ(Child<QLineEdit>(&window, "verifyFile")->text(), "0");
  for (int n = 1; n <= 14; ++n) EXPECT_EQ(window.ParamField(n)->text(), "0") << n;
}

TEST_F(AppTest, CancelAtTheConfirmationKeepsTheEscapedFieldsAndDoesNothingElse) {
  FillExample();
  TypeParam(1, R"(say "hi")");
  for (const char* button : {"encode", "decode"}) {
    prompts.Answer(Answer::Cancel);
    Press(button);
  }
  EXPECT_EQ(window.ParamField(1)->text(), R"(say \"hi\")");
  EXPECT_EQ(window.m_strParam[0], R"(say \"hi\")");
  EXPECT_TRUE(window.ParamField(2)->text().isEmpty());
  EXPECT_TRUE(window.m_strVerifyFile.isEmpty());
  EXPECT_EQ(prompts.Captions(), QStringList({"ENCODE", "DECODE"}));
  EXPECT_TRUE(console.events.isEmpty());
  EXPECT_TRUE(window.m_strLog.isEmpty());
  EXPECT_EQ(window.m_strEngineCommand, "rux4.exe");
  EXPECT_TRUE(Runs().empty());
}

TEST_F(AppTest, EachEmptyMandatoryFieldStopsTheJobAfterReleasingTheConsole) {
  bool consoleOpenAtError = false;
  prompts.onPrompt = [&](const Prompt& p) {
    if (p.caption == "ERROR") consoleOpenAtError = consoleOpenAtError || console.isOpen;
  };
  for (QString* field : {&window.m_strEnginePath, &window.m_strKeyBook, &window.m_strSourceFile,
                         &window.m_strTargetFile}) {
    FillExample();
    field->clear();
    window.UpdateData(false);
    prompts.Clear();
    console.events.clear();
    Run("encode");
    EXPECT_EQ(prompts.MessageTexts().value(1),
              "MANDATORY PARAMETERS EMPTY.\n\nFILL MANDATORY FIELDS.");
    EXPECT_EQ(prompts.Captions().value(1), "ERROR");
    EXPECT_EQ(console.events.size(), 7);                  // open, title, four writes, release
    EXPECT_TRUE(window.ParamField(1)->text().isEmpty());  // defaults come after the check
    EXPECT_EQ(window.m_strEngineCommand, window.m_strEnginePath);
  }
  EXPECT_FALSE(consoleOpenAtError);
  EXPECT_TRUE(window.m_strLog.isEmpty());
  EXPECT_TRUE(Runs().empty());
}

// Quotes, backslashes, blanks, shell characters, letters outside ASCII and
// long texts reach the engine whole and as typed, with no shell between;
// pressing again escapes nothing twice; the Key Book's keys stay out.
TEST_F(AppTest, TextsReachTheEngineWholeAndAsTheyAre) {
  FillExample();
  const QString book = "/books/" + QString("very-long-folder-name/").repeated(40) + "book.dat";
  window.m_strKeyBook = book;
  window.m_nKeyNumber = 123456789;
  for (int i = 0; i < 12; ++i) window.m_strKey[i] = QString("SECRETKEY%1").arg(i + 1);
  window.UpdateData(false);
  const QString longText = QString("0123456789").repeated(400);
  const struct {
    int field;
    QString typed, shown;
    std::string received;
  } cases[] = {
      {1, R"(say "hello world")", R"(say \"hello world\")", R"(say "hello world")"},
      {2, R"(C:\out\)", R"(C:\out\)", R"(C:\out\)"},
      {3, "$HOME; rm -rf /tmp/x", "$HOME; rm -rf /tmp/x", "$HOME; rm -rf /tmp/x"},
      {4, "`id` && echo $(whoami)", "`id` && echo $(whoami)", "`id` && echo $(whoami)"},
      {5, "Ñandú über €", "Ñandú über €", "Ñandú über €"},
      {6, "  blanks  ", "  blanks  ", "  blanks  "},
      {7, R"(a\"b)", R"(a\"b)", R"(a"b)"},
      {8, R"("first)", R"(\"first)", R"("first)"},
      {12, "'single' | > <", "'single' | > <", "'single' | > <"},
      {13, longText, longText, longText.toStdString()},
  };
  for (const auto& c : cases) TypeParam(c.field, c.typed);
  Run("encode");
  Run("decode");
  const auto runs = Runs();
  ASSERT_EQ(runs.size(), 2u);
  ASSERT_EQ(runs[0].size(), 20u);
  EXPECT_EQ(runs[0][0], book.toStdString());
  EXPECT_EQ(runs[0][1], "123456789");
  EXPECT_EQ(runs[0][2] + runs[1][2], "cd");
  for (const auto& c : cases) {
    EXPECT_EQ(runs[0][5 + c.field], c.received) << c.field;
    EXPECT_EQ(window.ParamField(c.field)->text(), c.shown) << c.field;
    EXPECT_TRUE(window.m_strLog.contains(QString("\nParameter %1: %2\n").arg(c.field).arg(c.shown)))
        << c.field;
  }
  for (int i = 6; i < 20; ++i) EXPECT_EQ(runs[1][i], runs[0][i]) << i;
  EXPECT_TRUE(window.m_strLog.contains("\nKey Book: " + book + "\nKey Nr: 123456789\n"));
  for (const std::string& item : runs[0]) EXPECT_EQ(item.find("SECRETKEY"), std::string::npos);
  EXPECT_FALSE(window.m_strLog.contains("SECRETKEY"));
}

}  // namespace
}  // namespace rux::test
