// How a job ends when the engine fails, cannot be started, or is stopped by
// the user from the console window.
#include <sys/stat.h>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <functional>

#include "app_fixture.h"
#include "platform/widgets/console_window.h"

namespace rux::test {
namespace {

TEST_F(AppTest, EveryFailureTakesTheErrorPathWithTheJobsOwnNumber) {
  const std::string noRun = dir.File("no-run");
  WriteBytes(noRun, "#!/bin/sh\nexit 0\n");
  ::chmod(noRun.c_str(), 0644);
  const struct {
    QString engine;
    const char* status;
    int number;
  } cases[] = {
      {FAKE_ENGINE_PATH, "3", 3},  // started, ended with status 3
      {QString::fromStdString(dir.File("missing")), "0", 2},
      {QString::fromStdString(noRun), "0", 13},
      {QString::fromStdString(dir.Path()), "0", 13},  // a folder
      {"   ", "0", 2},                                // blanks count as filled
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
      window.m_strLog.clear();
      window.UpdateData(false);
      Run(button.toLatin1().constData());
      const QString number = label + QString::number(c.number);
      EXPECT_EQ(prompts.MessageTexts().mid(1), QStringList({box, number}));
      EXPECT_EQ(prompts.Captions().mid(1), QStringList({"ERROR", "ERROR"}));
      EXPECT_TRUE(window.m_strLog.endsWith("\n DATE: " + kStamp + entry + "\n DATE: " + kStamp +
                                           number + kSeparator))
          << window.m_strLog.toStdString();
      EXPECT_EQ(window.LogPanel()->toPlainText(), window.m_strLog);
      EXPECT_EQ(console.events.last(), "release");
    }
  }
  EXPECT_EQ(Runs().size(), 2u);  // only the engine that started ran
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

  QString Script(const char* name, const std::string& body) {
    WriteBytes(dir.File(name), "#!/bin/sh\n" + body);
    ::chmod(dir.File(name).c_str(), 0755);
    return QString::fromStdString(dir.File(name));
  }
  // Presses ENCODE (answers queued by the caller) and, while the engine runs,
  // calls the step every 20 ms until it returns true (at most 500 tries).
  void EncodeWhileRunning(const QString& engine, std::function<bool()> step) {
    SetEnginePath(engine);
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

// The console shows the four texts and the engine's output while modal.
// Closing it while the engine runs asks first: Cancel keeps it running, OK
// stops it and the job takes the error path.
TEST_F(ConsoleWindowJob, ShowsTheEngineOutputAndProgressAndStopsItOnRequest) {
  const QString engine =
      Script("engine", "echo 'working on it'\necho 'progress: 50%'\nexec sleep 30\n");
  window.m_strSourceFile = "/data/" + QString("long-folder-name/").repeated(5) + "plain.txt";
  window.UpdateData(false);
  prompts.Answer(Answer::Ok).Answer(Answer::Cancel).Answer(Answer::Ok);
  QString textWhileRunning;
  bool modalWhileRunning = false, visibleAfterCancel = false;
  int closes = 0;
  EncodeWhileRunning(engine, [&] {
    if (consoleWindow.Progress() != 50) return false;
    if (closes == 0) textWhileRunning = consoleWindow.Text();
    if (closes == 0) modalWhileRunning = consoleWindow.isVisible() && consoleWindow.isModal();
    if (closes == 1) visibleAfterCancel = consoleWindow.isVisible();
    consoleWindow.close();
    return ++closes == 2;
  });
  EXPECT_EQ(textWhileRunning,
            "\n ENCODING...Wait a moment please" +
                ("\n Source File: " + window.m_strSourceFile).left(65) +  // cut to 65 bytes
                "\n Target File: b.dat\n ENCODING...Wait a moment please\nworking on it"
                "\nprogress: 50%\n");
  EXPECT_TRUE(modalWhileRunning);
  EXPECT_TRUE(visibleAfterCancel);
  EXPECT_EQ(consoleWindow.windowTitle(), "CODIFICANDO ...RUX...");
  EXPECT_FALSE(consoleWindow.isVisible());  // released
  const auto messages = prompts.Messages();
  ASSERT_EQ(messages.size(), 5u);
  for (int i : {1, 2}) {
    EXPECT_EQ(messages[i].text, "The engine is still running. Stop it?");
    EXPECT_EQ(messages[i].caption, "STOP");
    EXPECT_EQ(messages[i].buttons, Buttons::OkCancel);
    EXPECT_EQ(messages[i].icon, Icon::Exclamation);
  }
  const QString number = QString("ERROR Nr: %1").arg(128 + SIGTERM);
  EXPECT_EQ(messages[3].text, "Process ERROR... " + engine + "...\n");
  EXPECT_EQ(messages[4].text, number);
  EXPECT_TRUE(window.m_strLog.endsWith(number + kSeparator));
}

TEST_F(ConsoleWindowJob, AnEngineThatIgnoresTheStopIsKilledAfterTheGrace) {
  const QString engine = Script("stubborn", "trap '' TERM\necho ready\nexec sleep 30\n");
  prompts.Answer(Answer::Ok).Answer(Answer::Ok);
  EncodeWhileRunning(engine, [&] {
    if (!consoleWindow.Text().contains("ready")) return false;
    consoleWindow.close();
    return true;
  });
  EXPECT_EQ(prompts.MessageTexts().last(), QString("ERROR Nr: %1").arg(128 + SIGKILL));
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
