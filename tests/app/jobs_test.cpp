// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
// ENCODE and DECODE from the main window: entries, boxes, console, the engine's items, failures.
#include <QDir>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <csignal>

#include "app_fixture.h"
#include "platform/widgets/console_window.h"

namespace rux::test {
namespace {

using namespace std::string_literals;

// Both modes' entries, boxes and console texts; quotes escaped once, sent unescaped; texts past
// 32,767 characters whole; empty fields sent and shown as "0"; no key anywhere.
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
  const QString longText = "\u00f1" + QString("0123456789").repeated(4000);
  window.ParamField(1)->setText(R"(say "hi" \"x)");
  window.ParamField(13)->setText(longText);
  window.ParamField(1)->setFocus();
  Run("encode");
  EXPECT_EQ(window.focusWidget(), window.LogPanel());
  Run("decode");
  EXPECT_EQ(window.LogPanel()->toPlainText(), window.m_strLog);  // the closing line too, at once
  QString shown = window.m_strLog + "\n=== boxes\n" + Boxes() + "=== console\n" +
                  console.events.join('\n') + "\n";
  EXPECT_EQ(shown.replace(longText, "<\u00f1 and 4,000 times 0123456789>").toStdString(),
            Expected("encode-decode.txt"));
  std::string params = R"(say "hi" "x)" + "\0"s;
  for (int n = 2; n <= 14; ++n) params += (n == 13 ? longText.toStdString() : "0") + '\0';
  const std::string items =
      "a.txt\0b.dat\0"
      "0\0"s +
      params + "\n";
  EXPECT_EQ(ReadBytes(record),
            "books.dat\0"
            "123456789\0c\0"s +
                items +
                "books.dat\0"
                "123456789\0d\0"s +
                items);
  QStringList fields = {Field("verifyFile")};
  for (int n = 1; n <= 14; ++n) fields << window.ParamField(n)->text();
  EXPECT_EQ(fields.join('|'), R"(0|say \"hi\" \"x|0|0|0|0|0|0|0|0|0|0|0|)" + longText + "|0");
}

// Cancel keeps only the escaping; an empty mandatory field is said once the console is gone.
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
  QStringList atError;  // the console's uses when the error box shows
  prompts.onPrompt = [&](const Prompt& p) {
    if (p.caption == "ERROR")
      atError << QString::number(console.events.size()) + console.events.last();
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
    EXPECT_TRUE(window.ParamField(2)->text().isEmpty());  // defaults come after the check
  }
  EXPECT_EQ(atError, QStringList(4, "7release"));  // open, title, four writes, release
  EXPECT_TRUE(window.m_strLog.isEmpty());
  EXPECT_FALSE(Exists(record));
}

// An engine that fails, is missing, cannot be run or is a folder: each mode's boxes and entries.
TEST_F(AppTest, EveryFailureTakesTheErrorPathWithTheJobsOwnNumber) {
  WriteBytes(dir.File("no-run"), "#!/bin/sh\nexit 0\n");
  const std::pair<std::string, int> cases[] = {
      {FAKE_ENGINE_PATH, 3},
      {dir.File("missing"), 2},
      {dir.File("no-run"), 13},
      {dir.Path(), 13},
      {"   ", 2},  // blanks count as filled
  };
  FillExample();
  ::setenv("FAKE_ENGINE_STATUS", "3", 1);
  for (const auto& [path, number] : cases) {
    const QString engine = QString::fromStdString(path);
    SetEnginePath(engine);
    prompts.Clear();
    window.LogPanel()->setPlainText("typed");  // the job reads it first
    Run("encode");
    const QString encodeNr = "ERROR Nr: " + QString::number(number);
    EXPECT_TRUE(window.m_strLog.startsWith("typed" + kSeparator + "\n "));
    EXPECT_TRUE(window.m_strLog.endsWith("\n DATE: " + kStamp + "Process ERROR... " + engine +
                                         "...\nEncode...ERROR.\n DATE: " + kStamp + encodeNr +
                                         kSeparator));
    Run("decode");
    const QString decodeNr = "Error number: " + QString::number(number);
    EXPECT_TRUE(window.m_strLog.endsWith("\n DATE: " + kStamp + "Process Error... " + engine +
                                         "...\nDecoded...ERROR..\n DATE: " + kStamp + decodeNr +
                                         kSeparator));
    const QStringList boxes = prompts.Boxes();
    EXPECT_EQ(boxes.mid(1, 2) + boxes.mid(4),
              QStringList({"ERROR: Process ERROR... " + engine + "...\n", "ERROR: " + encodeNr,
                           "ERROR: Process Error... " + engine + "...\nDecoded...ERROR.",
                           "ERROR: " + decodeNr}));
  }
  const std::string runs = ReadBytes(record);
  EXPECT_EQ(std::count(runs.begin(), runs.end(), '\n'), 2);  // only the engine that started ran
}

// The console shows the job's texts and the output; closing it asks to stop the engine, which is
// terminated, then killed. After "Run RUX4 (Console)" it stays, blocks nothing, Escape closes it.
TEST_F(AppTest, TheConsoleWindowShowsTheEngineAndStopsItOnRequest) {
  ConsoleWindow consoleWindow;
  InstallConsole(&consoleWindow);  // until the fixture's own console goes
  FillExample();
  window.m_strSourceFile = "/data/" + QString("long-folder-name/").repeated(5) + "plain.txt";
  window.UpdateData(false);
  prompts.Answer(Answer::Ok).Answer(Answer::Cancel).Answer(Answer::Ok);
  QStringList seen;  // at each close while the engine runs
  WriteBytes(dir.File("engine"),
             "#!/bin/sh\ntrap 'echo stopping' TERM\necho 'progress: 50%'\n"
             "for i in $(seq 30); do sleep 1 & wait $!; done\n");  // the trap runs at once
  ::chmod(dir.File("engine").c_str(), 0755);
  SetEnginePath(QString::fromStdString(dir.File("engine")));
  const auto state = [&] {
    return consoleWindow.windowTitle() + ":" + consoleWindow.Text() +
           (consoleWindow.isModal() ? "(modal" : "(") +
           (consoleWindow.isVisible() ? " shown)" : ")");
  };
  QTimer timer;  // while the engine runs
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (consoleWindow.Progress() != 50) return;
    seen << state();
    consoleWindow.close();
    if (seen.size() == 2) timer.stop();
  });
  timer.start(20);
  Press("encode");
  const QString shown = "CODIFICANDO ...RUX...:\n ENCODING...Wait a moment please" +
                        ("\n Source File: " + window.m_strSourceFile).left(65) +
                        "\n Target File: b.dat\n ENCODING...Wait a moment please\nprogress: 50%\n";
  EXPECT_EQ(seen, QStringList(2, shown + "(modal shown)"));  // still there after Cancel
  EXPECT_EQ(state(), shown + "stopping\n()");                // terminated first, then released
  const QString stop = "STOP: The engine is still running. Stop it?";
  const QString number = QString("ERROR Nr: %1").arg(128 + SIGKILL);
  EXPECT_EQ(prompts.Boxes().mid(1),
            QStringList({stop, stop, "ERROR: Process ERROR... " + Field("enginePath") + "...\n",
                         "ERROR: " + number}));
  EXPECT_TRUE(window.m_strLog.endsWith(number + kSeparator));

  SetEnginePath("echo ended");
  window.ParamField(1)->clear();
  QTimer::singleShot(0, &window, [&] {
    Press("runConsole");  // returns when the command has ended
    seen << state();
    window.ParamField(1)->setFocus();
    QTest::keyClick(window.windowHandle(), 'x');
    QTest::keyClick(consoleWindow.windowHandle(), Qt::Key_Escape);
    seen << state();
    window.done(0);
  });
  window.exec();
  EXPECT_EQ(seen.mid(2), QStringList({"echo ended:ended\n( shown)", "echo ended:ended\n()"}));
  EXPECT_EQ(window.m_strParam[0], "x");  // the main window took the key
}

}  // namespace
}  // namespace rux::test
