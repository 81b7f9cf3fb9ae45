#pragma once
// The main window ready for an engine job: a scripted user, a recording
// console, the stand-in engine and a clock fixed at Fri Mar 01 09:05:07 2013
// (UTC).
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/shellrux_dlg.h"
#include "platform/text/timestamp.h"
#include "support/recording_console.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"
#include "support/widget_find.h"

namespace rux::test {

inline const QString kStamp = "Fri Mar 01 09:05:07 2013\n";
inline const QString kSeparator = "\n" + QString(75, '_');

// The items of each run the stand-in engine recorded.
inline std::vector<std::vector<std::string>> RecordedRuns(const std::string& file) {
  std::vector<std::vector<std::string>> runs;
  if (!Exists(file)) return runs;
  const std::string bytes = ReadBytes(file);
  std::vector<std::string> run;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    if (bytes[pos] == '\n') {
      runs.push_back(run);
      run.clear();
      ++pos;
      continue;
    }
    const std::size_t end = bytes.find('\0', pos);
    if (end == std::string::npos) break;
    run.push_back(bytes.substr(pos, end - pos));
    pos = end + 1;
  }
  return runs;
}

inline std::vector<std::string> ExampleItems(const char* mode) {
  std::vector<std::string> items = {"books.dat", "3", mode, "a.txt", "b.dat"};
  items.resize(20, "0");
  return items;
}

class JobsTest : public ::testing::Test {
 protected:
  JobsTest() {
    if (const char* tz = std::getenv("TZ")) savedTz_ = tz;
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    SetClock([] { return std::time_t(1362128707); });
    ::setenv("FAKE_ENGINE_RECORD", record.c_str(), 1);
  }
  ~JobsTest() override {
    SetClock({});
    for (const char* name : {"FAKE_ENGINE_RECORD", "FAKE_ENGINE_STATUS", "FAKE_ENGINE_SLEEP"})
      ::unsetenv(name);
    if (savedTz_.empty())
      ::unsetenv("TZ");
    else
      ::setenv("TZ", savedTz_.c_str(), 1);
    ::tzset();
  }

  // What a user fills in: the stand-in engine typed into the
  // engine path field, Key Book books.dat, Master Key 3, source a.txt, target b.dat.
  void FillExample() {
    SetEnginePath(FAKE_ENGINE_PATH);
    window.m_strKeyBook = "books.dat";
    window.m_nKeyNumber = 3;
    window.m_strSourceFile = "a.txt";
    window.m_strTargetFile = "b.dat";
    window.UpdateData(false);
  }
  void SetEnginePath(const QString& path) {
    Child<QLineEdit>(&window, "enginePath")->setText(path);
  }
  void TypeParam(int n, const QString& text) { window.ParamField(n)->setText(text); }
  void Press(const char* button) { Child<QPushButton>(&window, button)->click(); }
  // Presses the button and confirms.
  void Run(const char* button) {
    prompts.Answer(Answer::Ok);
    Press(button);
  }
  std::vector<std::vector<std::string>> Runs() const { return RecordedRuns(record); }

  TempDir dir;
  const std::string record = dir.File("engine-items");
  ScriptedPrompts prompts;
  RecordingConsole console;
  CShellruxDlg window;

 private:
  std::string savedTz_;
};

}  // namespace rux::test
