// ENCODE and DECODE from the main window: the log entries, the boxes, the
// console and what the engine is handed; how a job ends when the engine
// fails, cannot start or is stopped; and the whole road with the real engine.
#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <functional>

#include "app_fixture.h"
#include "platform/widgets/console_window.h"

namespace rux::test {
namespace {

// The parameter lines of an entry: parameter 1 and 13 as given, the others "0".
QString Params(const QString& label, const QString& tail11, const QString& p1, const QString& p13) {
  QString text;
  for (int n = 1; n <= 14; ++n) {
    const QString value = n == 1 ? p1 : n == 13 ? p13 : "0";
    text += "\n" + label + QString::number(n) + (n == 11 || n == 14 ? tail11 : ": ") + value;
  }
  return text;
}

// Both modes with the same fields, an engine path with blanks, an empty
// confirmation file and empty parameters: each entry, box and console text
// in its mode's words; quotes escaped once, shown so, sent without their
// escapes; texts past 32,767 characters whole; the defaults "0" shown in the
// fields; the focus in the log panel, which shows it all; no key anywhere.
TEST_F(AppTest, EncodeAndDecodeWriteTheirEntriesAndHandTheEngineTheItems) {
  FillExample();
  QDir().mkpath(QString::fromStdString(dir.File("my engines")));
  const QString engine = QString::fromStdString(dir.File("my engines/rux 4.exe"));
  ASSERT_TRUE(QFile::copy(FAKE_ENGINE_PATH, engine));
  SetEnginePath(engine);
  window.m_nKeyNumber = 123456789;
  window.m_strKey.fill("SECRET");
  window.m_strConfigFile = "/home/u/work.cfg";
  window.UpdateData(false);
  window.LogPanel()->setPlainText("typed by the user");
  const QString longText = "ñ" + QString("0123456789").repeated(4000);
  window.ParamField(1)->setText(R"(say "hi" \"x)");
  window.ParamField(13)->setText(longText);
  window.ParamField(1)->setFocus();
  Run("encode");
  EXPECT_EQ(window.focusWidget(), window.LogPanel());
  Run("decode");
  const QString escaped = R"(say \"hi\" \"x)";
  const QString expected =
      "typed by the user" + kSeparator + "\n DATE: " + kStamp + "\n DATE: " + kStamp +
      "\n ...___ENCODING___....\nConfiguration file: /home/u/work.cfg\nProgram: " + engine +
      "\nKey Book: books.dat\nKey Nr: 123456789\nSource: a.txt\nTarget b.dat\nConfirmation file 0"
      "\n_______PARAMETERS________ " +
      Params("Parameter ", ":(ATTENTION ERROR DON\u00B4T USE THAT) :", escaped, longText) +
      "\n _____ENCODING______....Please Wait...._____\n DATE: " + kStamp + "Process OK... " +
      engine + "...OK." + kSeparator + kSeparator + "\n FECHA: " + kStamp +
      "\n ...___DECODIFICANDO___....\nFichero de Configuracion: /home/u/work.cfg\nPrograma: " +
      engine +
      "\nLibro de CLAVES: books.dat\nNumero Clave: 123456789\nFichero Origen: a.txt"
      "\nFichero Destino b.dat\nFichero Confirmacion 0\n_______PARAMETROS________ " +
      Params("Parametro ", ":(ATENCION ERROR EN ESTE PARAMETRO NO UTILIZAR) :", escaped, longText) +
      "\n _____DECODIFICANDO______....Espere...._____\n DATE: " + kStamp + "Process OK... " +
      engine + "...OK.\nDecoded OK... RUX 4.0...OK...\n" + kSeparator;
  EXPECT_EQ(window.m_strLog, expected);
  EXPECT_EQ(window.LogPanel()->toPlainText(), expected);  // the closing line too, at once
  EXPECT_EQ(
      prompts.Boxes(),
      QStringList({"ENCODE: ENCODE:\n\nSource file: a.txt\nTarget file: b.dat\n\nAre you sure?",
                   "OK: Process OK... " + engine + "...OK\nProcess OK... RUX 4.0...OK...\n",
                   "DECODE: DECODE: \n\nSource file: a.txt\nTarget file: b.dat\n\nAre you sure?",
                   "OK: Process OK..." + engine + "...OK\nDecoded OK... RUX 4.0...OK...\n"}));
  QStringList events;
  for (const char* mode : {"CODIFICANDO ...RUX...:ENCODING", "DECODIFICANDO ...RUX...:DECODING"}) {
    const QString wait = "write:\n " + QString(mode).section(':', 1) + "...Wait a moment please";
    events << "open"
           << "title:" + QString(mode).section(':', 0, 0) << wait << "write:\n Source File: a.txt"
           << "write:\n Target File: b.dat" << wait << "run"
           << "release";
  }
  EXPECT_EQ(console.events, events);
  EXPECT_EQ(console.output, "fake engine: 20 items\nfake engine: 20 items\n");
  Items items = {"books.dat", "123456789", "c", "a.txt", "b.dat", "0", R"(say "hi" "x)"};
  items.resize(20, "0");
  items[18] = longText.toStdString();
  Items decode = items;
  decode[2] = "d";
  EXPECT_EQ(Runs(), std::vector<Items>({items, decode}));
  EXPECT_EQ(window.m_strEngineCommand, engine);
  QStringList shown = {Field("verifyFile")};
  for (int n = 1; n <= 14; ++n) shown << window.ParamField(n)->text();
  EXPECT_EQ(shown.join('|'), "0|" + escaped + "|0|0|0|0|0|0|0|0|0|0|0|" + longText + "|0");
}

// Cancel at the confirmation keeps only the escaping; an empty mandatory
// field stops the job after the console is released, before the defaults.
TEST_F(AppTest, CancelOrAnEmptyMandatoryFieldEndTheJobBeforeTheEngine) {
  FillExample();
  window.ParamField(1)->setText(R"(say "hi")");
  for (const char* button : {"encode", "decode"}) {
    prompts.Answer(Answer::Cancel);
    Press(button);
  }
  EXPECT_EQ(QStringList({window.ParamField(1)->text(), window.m_strParam[0]}),
            QStringList(2, R"(say \"hi\")"));
  EXPECT_EQ(prompts.Captions(), QStringList({"ENCODE", "DECODE"}));
  EXPECT_TRUE(console.events.isEmpty());
  EXPECT_EQ(window.m_strEngineCommand, "rux4.exe");
  bool consoleOpenAtError = false;
  prompts.onPrompt = [&](const Prompt& p) {
    consoleOpenAtError |= p.caption == "ERROR" && console.events.last() != "release";
  };
  for (QString* field : {&window.m_strEnginePath, &window.m_strKeyBook, &window.m_strSourceFile,
                         &window.m_strTargetFile}) {
    FillExample();
    field->clear();
    window.UpdateData(false);
    prompts.Clear();
    console.events.clear();
    Run("encode");
    EXPECT_EQ(prompts.Boxes().value(1),
              "ERROR: MANDATORY PARAMETERS EMPTY.\n\nFILL MANDATORY FIELDS.");
    EXPECT_EQ(console.events.size(), 7);                  // open, title, four writes, release
    EXPECT_TRUE(window.ParamField(2)->text().isEmpty());  // defaults come after the check
    EXPECT_EQ(window.m_strEngineCommand, window.m_strEnginePath);
  }
  EXPECT_FALSE(consoleOpenAtError);
  EXPECT_TRUE(window.m_strLog.isEmpty());
  EXPECT_TRUE(Runs().empty());
}

// An engine that ends badly, is missing, cannot be run or is a folder: the
// error box and entry of each mode, then the job's own number.
TEST_F(AppTest, EveryFailureTakesTheErrorPathWithTheJobsOwnNumber) {
  const std::string noRun = dir.File("no-run");
  WriteBytes(noRun, "#!/bin/sh\nexit 0\n");
  const struct {
    QString engine;
    const char* status;
    int number;
  } cases[] = {
      {FAKE_ENGINE_PATH, "3", 3},  // started, ended with status 3
      {QString::fromStdString(dir.File("missing")), "0", 2},
      {QString::fromStdString(noRun), "0", 13},
      {QString::fromStdString(dir.Path()), "0", 13},
      {"   ", "0", 2},  // blanks count as filled
  };
  FillExample();
  for (const auto& c : cases) {
    ::setenv("FAKE_ENGINE_STATUS", c.status, 1);
    SetEnginePath(c.engine);
    // Per mode: the button, the error box, the error entry, the number's label.
    const QString modes[2][4] = {
        {"encode", "Process ERROR... " + c.engine + "...\n",
         "Process ERROR... " + c.engine + "...\nEncode...ERROR.", "ERROR Nr: "},
        {"decode", "Process Error... " + c.engine + "...\nDecoded...ERROR.",
         "Process Error... " + c.engine + "...\nDecoded...ERROR..", "Error number: "}};
    for (const auto& [button, box, entry, label] : modes) {
      SCOPED_TRACE((c.engine + " " + button).toStdString());
      prompts.Clear();
      window.LogPanel()->setPlainText("typed");  // the job reads it first
      Run(button);
      const QString number = label + QString::number(c.number);
      EXPECT_EQ(prompts.Boxes().mid(1), QStringList({"ERROR: " + box, "ERROR: " + number}));
      EXPECT_TRUE(window.m_strLog.startsWith("typed" + kSeparator + "\n "));
      EXPECT_TRUE(window.m_strLog.endsWith("\n DATE: " + kStamp + entry + "\n DATE: " + kStamp +
                                           number + kSeparator));
      EXPECT_EQ(window.LogPanel()->toPlainText(), window.m_strLog);
      EXPECT_EQ(console.events.last(), "release");
    }
  }
  EXPECT_EQ(Runs().size(), 2u);  // only the engine that started ran
}

// The shipped engine: encode, decode to the same bytes; another Master Key
// cannot decode and no target is left.
TEST_F(AppTest, TheRealEngineDecodesWhatItEncodedWithTheSameMasterKeyOnly) {
  ChooseBook(Book({"office", "travel"}));
  SetEnginePath(RUX4_PATH);
  const std::string plain = "A secret letter.\n" + std::string(200000, 'x');
  WriteBytes(dir.File("letter.txt"), plain);
  const auto run = [&](const char* button, const char* source, const char* target) {
    window.m_strSourceFile = QString::fromStdString(dir.File(source));
    window.m_strTargetFile = QString::fromStdString(dir.File(target));
    window.UpdateData(false);
    prompts.Clear();
    Run(button);
  };
  run("encode", "letter.txt", "letter.rux");
  run("decode", "letter.rux", "back.txt");
  EXPECT_EQ(prompts.Captions(), QStringList({"DECODE", "OK"}));
  EXPECT_EQ(ReadBytes(dir.File("back.txt")), plain);
  EXPECT_NE(ReadBytes(dir.File("letter.rux")).find("secret"), 0u);
  EXPECT_NE(console.output.find("result: OK"), std::string::npos) << console.output;
  PickEntry(Combo(), 1);  // travel
  run("decode", "letter.rux", "other.txt");
  EXPECT_EQ(prompts.Boxes().mid(1),
            QStringList({"ERROR: Process Error... " RUX4_PATH "...\nDecoded...ERROR.",
                         "ERROR: Error number: 78"}));
  EXPECT_FALSE(Exists(dir.File("other.txt")));
}

// The real console window: the engine's output as it comes, the progress
// bar, and the way out of an engine that does not end.
class ConsoleWindowJob : public AppTest {
 protected:
  ConsoleWindowJob() {
    InstallConsole(&consoleWindow);
    FillExample();
  }
  ~ConsoleWindowJob() override { InstallConsole(nullptr); }

  // Presses ENCODE (answers queued by the caller) with a script as the
  // engine and, while it runs, calls the step every 20 ms until it returns
  // true (at most 500 tries).
  void EncodeWhileRunning(const std::string& script, std::function<bool()> step) {
    WriteBytes(dir.File("engine"), "#!/bin/sh\n" + script);
    ::chmod(dir.File("engine").c_str(), 0755);
    SetEnginePath(QString::fromStdString(dir.File("engine")));
    QTimer timer;
    int tries = 0;
    QObject::connect(&timer, &QTimer::timeout, [&] {
      if (step() || ++tries == 500) timer.stop();
    });
    timer.start(20);
    Press("encode");
    EXPECT_LT(tries, 500) << "the step never finished";
  }

  ConsoleWindow consoleWindow;
};

// The console shows the four texts, each cut to 65 bytes, and the engine's
// output while modal. Closing it while the engine runs asks first: Cancel
// keeps it running, OK terminates it, and one that ignores that is killed
// after the grace; the job takes the error path.
TEST_F(ConsoleWindowJob, ShowsTheEngineOutputAndProgressAndStopsItOnRequest) {
  window.m_strSourceFile = "/data/" + QString("long-folder-name/").repeated(5) + "plain.txt";
  window.UpdateData(false);
  prompts.Answer(Answer::Ok).Answer(Answer::Cancel).Answer(Answer::Ok);
  QString textWhileRunning;
  bool modalWhileRunning = false, visibleAfterCancel = false;
  int closes = 0;
  EncodeWhileRunning(
      "trap 'echo stopping' TERM\necho 'progress: 50%'\nfor i in $(seq 30); do sleep 1; done\n",
      [&] {
        if (consoleWindow.Progress() != 50) return false;
        if (closes == 0) textWhileRunning = consoleWindow.Text();
        if (closes == 0) modalWhileRunning = consoleWindow.isModal();
        if (closes == 1) visibleAfterCancel = consoleWindow.isVisible();
        consoleWindow.close();
        return ++closes == 2;
      });
  EXPECT_EQ(textWhileRunning, "\n ENCODING...Wait a moment please" +
                                  ("\n Source File: " + window.m_strSourceFile).left(65) +
                                  "\n Target File: b.dat\n ENCODING...Wait a moment please"
                                  "\nprogress: 50%\n");
  EXPECT_TRUE(modalWhileRunning);
  EXPECT_TRUE(visibleAfterCancel);
  EXPECT_EQ(consoleWindow.windowTitle(), "CODIFICANDO ...RUX...");
  EXPECT_FALSE(consoleWindow.isVisible());                     // released
  EXPECT_TRUE(consoleWindow.Text().endsWith("\nstopping\n"));  // terminated first
  const QString stop = "STOP: The engine is still running. Stop it?";
  const QString number = QString("ERROR Nr: %1").arg(128 + SIGKILL);
  EXPECT_EQ(prompts.Boxes().mid(1),
            QStringList({stop, stop, "ERROR: Process ERROR... " + Field("enginePath") + "...\n",
                         "ERROR: " + number}));
  EXPECT_TRUE(window.m_strLog.endsWith(number + kSeparator));
}

// "Run RUX4 (Console)" in the main window's own modal run: once the command
// has ended its console stays to be read, blocks nothing, and Escape closes it.
TEST_F(ConsoleWindowJob, TheRunConsoleStaysReadableBlocksNothingAndClosesOnceItsCommandEnded) {
  SetEnginePath("echo ended");
  QString shown;
  bool modal = true, closed = false;
  QTimer::singleShot(0, &window, [&] {
    Press("runConsole");  // returns when the command has ended
    shown = consoleWindow.isVisible() ? consoleWindow.Text() : QString();
    modal = consoleWindow.isModal();
    window.ParamField(1)->setFocus();
    QTest::keyClick(window.windowHandle(), 'x');
    QTest::keyClick(consoleWindow.windowHandle(), Qt::Key_Escape);
    closed = !consoleWindow.isVisible();
    window.done(0);
  });
  window.exec();
  EXPECT_EQ(shown, "ended\n");
  EXPECT_FALSE(modal);
  EXPECT_EQ(window.m_strParam[0], "x");  // the main window took the key
  EXPECT_TRUE(closed);
}

}  // namespace
}  // namespace rux::test
