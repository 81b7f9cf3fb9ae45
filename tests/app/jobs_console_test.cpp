// The real console window during a job: the engine's output as it comes, the
// progress bar, and the way out of an engine that does not end.
#include <sys/stat.h>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <csignal>
#include <functional>

#include <gtest/gtest.h>

#include "app/shellrux_dlg.h"
#include "platform/widgets/console_window.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"
#include "support/widget_find.h"

namespace rux {
namespace {

using test::Child;

class ConsoleJobTest : public ::testing::Test {
 protected:
  ConsoleJobTest() {
    InstallConsole(&console);
    window.m_strKeyBook = "books.dat";
    window.m_strSourceFile = "a.txt";
    window.m_strTargetFile = "b.dat";
    window.UpdateData(false);
  }
  ~ConsoleJobTest() override {
    InstallConsole(nullptr);
    ::unsetenv("FAKE_ENGINE_SLEEP");
    ::unsetenv("FAKE_ENGINE_RECORD");
  }

  QString Script(const char* name, const std::string& body) {
    const std::string path = dir.File(name);
    test::WriteBytes(path, "#!/bin/sh\n" + body);
    ::chmod(path.c_str(), 0755);
    return QString::fromStdString(path);
  }

  // Presses ENCODE (the answers are queued by the caller) and, while the
  // engine runs, calls the step every 20 ms until it returns true (at most
  // 10 seconds of tries).
  void EncodeWhileRunning(const QString& engine, std::function<bool()> step) {
    Child<QLineEdit>(&window, "enginePath")->setText(engine);
    QTimer timer;
    int tries = 0;
    QObject::connect(&timer, &QTimer::timeout, [&] {
      if (step() || ++tries == 500) timer.stop();
    });
    timer.start(20);
    Child<QPushButton>(&window, "encode")->click();
    EXPECT_LT(tries, 500) << "the step never finished";
  }

  test::TempDir dir;
  test::ScriptedPrompts prompts;
  CShellruxDlg window;
  ConsoleWindow console;
};

TEST_F(ConsoleJobTest, ShowsTheBannerTheEngineOutputAndItsProgress) {
  const QString engine = Script("engine",
                                "echo 'working on it'\n"
                                "echo 'progress: 50%'\n"
                                "i=0\n"
                                "while [ ! -e \"$0.go\" ] && [ $i -lt 200 ]; do sleep 0.05; "
                                "i=$((i+1)); done\n"
                                "echo finished\n");
  prompts.Answer(Answer::Ok);
  QString textWhileRunning;
  int progressWhileRunning = -1;
  bool modalWhileRunning = false;
  EncodeWhileRunning(engine, [&] {
    if (console.Progress() != 50) return false;
    textWhileRunning = console.Text();
    progressWhileRunning = console.Progress();
    modalWhileRunning = console.isVisible() && console.isModal();
    test::WriteBytes(engine.toStdString() + ".go", "");
    return true;
  });
  EXPECT_EQ(progressWhileRunning, 50);
  EXPECT_TRUE(modalWhileRunning);
  EXPECT_EQ(textWhileRunning,
            "\n ENCODING...Wait a moment please\n Source File: a.txt\n Target File: b.dat"
            "\n ENCODING...Wait a moment please"
            "\nworking on it\nprogress: 50%\n");
  EXPECT_EQ(console.windowTitle(), "CODIFICANDO ...RUX...");
  EXPECT_TRUE(console.Text().endsWith("finished\n"));
  EXPECT_FALSE(console.isVisible());  // released
  EXPECT_EQ(prompts.Captions(), QStringList({"ENCODE", "OK"}));
}

TEST_F(ConsoleJobTest, ClosingItWhileTheEngineRunsAsksAndStopsTheEngine) {
  const std::string record = dir.File("started");
  ::setenv("FAKE_ENGINE_RECORD", record.c_str(), 1);
  ::setenv("FAKE_ENGINE_SLEEP", "30", 1);
  // Confirm the job; at the first close keep the engine running, at the second stop it.
  prompts.Answer(Answer::Ok).Answer(Answer::Cancel).Answer(Answer::Ok);
  int closes = 0;
  bool visibleAfterCancel = false;
  EncodeWhileRunning(FAKE_ENGINE_PATH, [&] {
    if (!test::Exists(record)) return false;  // not started yet
    if (closes == 1) visibleAfterCancel = console.isVisible();
    console.close();
    return ++closes == 2;
  });
  EXPECT_TRUE(visibleAfterCancel);
  const auto messages = prompts.Messages();
  ASSERT_EQ(messages.size(), 5u);
  for (int i : {1, 2}) {
    EXPECT_EQ(messages[i].text, "The engine is still running. Stop it?");
    EXPECT_EQ(messages[i].caption, "STOP");
    EXPECT_EQ(messages[i].buttons, Buttons::OkCancel);
    EXPECT_EQ(messages[i].icon, Icon::Exclamation);
  }
  EXPECT_EQ(messages[3].text, "Process ERROR... " FAKE_ENGINE_PATH "...\n");
  EXPECT_EQ(messages[4].text, QString("ERROR Nr: %1").arg(128 + SIGTERM));
  EXPECT_TRUE(window.m_strLog.contains(QString("ERROR Nr: %1").arg(128 + SIGTERM)));
}

TEST_F(ConsoleJobTest, AnEngineThatIgnoresTheStopIsKilledAfterTheGrace) {
  const QString engine = Script("stubborn", "trap '' TERM\necho ready\nexec sleep 30\n");
  prompts.Answer(Answer::Ok).Answer(Answer::Ok);
  EncodeWhileRunning(engine, [&] {
    if (!console.Text().contains("ready")) return false;
    console.close();
    return true;
  });
  EXPECT_EQ(prompts.MessageTexts().last(), QString("ERROR Nr: %1").arg(128 + SIGKILL));
}

}  // namespace
}  // namespace rux
