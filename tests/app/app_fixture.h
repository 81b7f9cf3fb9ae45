#pragma once
// The main window after start-up, with scripted boxes, pickers and windows, a recording
// console running the stand-in engine, and the clock fixed at Fri Mar 01 09:05:07 2013 UTC.
#include <sys/stat.h>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "app/log_dlg.h"
#include "app/shellrux_dlg.h"
#include "editing/book_fixture.h"
#include "manage/keys_dlg.h"
#include "platform/text/timestamp.h"
#include "support/modal_script.h"
#include "support/recording_console.h"
#include "support/scripted_prompts.h"
#include "support/widget_find.h"

namespace rux::test {

inline const QString kStamp = "Fri Mar 01 09:05:07 2013\n";
inline const QString kSeparator = "\n" + QString(75, '_');
inline const QString kBookNotAccessible =
    "ERROR: The Key Book is not accessible, access is denied.";

struct StartedMainWindow : CShellruxDlg {
  StartedMainWindow() { OnInitDialog(); }
};

inline QStringList Entries(const QComboBox* combo) {
  QStringList entries;
  for (int i = 0; i < combo->count(); ++i) entries << combo->itemText(i);
  return entries;
}

// What choosing an entry from the open list does.
inline void PickEntry(QComboBox* combo, int index) {
  combo->setCurrentIndex(index);
  emit combo->activated(index);
}

class AppTest : public ::testing::Test {
 protected:
  AppTest() {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    SetClock([] { return std::time_t(1362128707); });
    ::setenv("FAKE_ENGINE_RECORD", record.c_str(), 1);
  }
  ~AppTest() override {
    SetClock({});
    for (const char* name : {"FAKE_ENGINE_RECORD", "FAKE_ENGINE_STATUS"}) ::unsetenv(name);
  }

  QComboBox* Combo() const { return window.MasterKeyCombo(); }
  QString Field(const char* name) const { return Child<QLineEdit>(&window, name)->text(); }
  std::string Book(const std::vector<const char*>& names, const std::string& file = "book.dat") {
    return NamesBook(dir.File(file), names);
  }
  void ChooseBook(const std::string& path) {
    prompts.Pick(QString::fromStdString(path));
    Press("keyBookBrowse");
  }
  // Key Book books.dat, Master Key 3, a.txt to b.dat, the stand-in engine.
  void FillExample() {
    SetEnginePath(FAKE_ENGINE_PATH);
    window.m_strKeyBook = "books.dat";
    window.m_nKeyNumber = 3;
    window.m_strSourceFile = "a.txt";
    window.m_strTargetFile = "b.dat";
    window.UpdateData(false);
  }
  void SetEnginePath(const QString& p) { Child<QLineEdit>(&window, "enginePath")->setText(p); }
  void Press(const QString& button) { Child<QPushButton>(&window, button)->click(); }
  void Run(const QString& button) {  // presses and confirms
    prompts.Answer(Answer::Ok);
    Press(button);
  }
  // Every box so far as "CAPTION: text", with "---" lines between.
  QString Boxes() const { return prompts.Boxes().join("\n---\n") + "\n"; }
  // The text of data/<name>, with <dir> standing for the test's folder.
  std::string Expected(const std::string& name) const {
    const QString text = QString::fromStdString(ReadBytes(TEST_DATA_DIR "/" + name));
    return QString(text).replace("<dir>", QString::fromStdString(dir.Path())).toStdString();
  }

  TempDir dir;
  const std::string record = dir.File("engine-items");
  ScriptedPrompts prompts;
  ModalScript modal;
  RecordingConsole console;
  StartedMainWindow window;
};

}  // namespace rux::test
