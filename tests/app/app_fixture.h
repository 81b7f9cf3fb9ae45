#pragma once
// The main window as the user finds it after start-up, with a scripted user,
// scripted modal runs, a recording console that runs the stand-in engine, a
// temporary folder, Key Books made by the Key Book code, and the clock fixed
// at Fri Mar 01 09:05:07 2013 (UTC).
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <sstream>

#include <gtest/gtest.h>

#include "app/shellrux_dlg.h"
#include "keybook/key_book.h"
#include "keybook/master_key_record.h"
#include "platform/text/timestamp.h"
#include "support/modal_script.h"
#include "support/recording_console.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"
#include "support/widget_find.h"

namespace rux::test {

inline const QString kStamp = "Fri Mar 01 09:05:07 2013\n";
inline const QString kSeparator = "\n" + QString(75, '_');
inline const QString kBookNotAccessible = "The Key Book is not accessible, access is denied.";
using Items = std::vector<std::string>;

// Runs the window's own initialisation, as its modal run does first.
class StartedMainWindow : public CShellruxDlg {
 public:
  StartedMainWindow() { OnInitDialog(); }
};

// A Key Book of the named records, then the numbers in deleted marked deleted.
// Key n of a record is "<name>-key<n>"; Enlarge 5 and Scramble 3.25 are
// stored as "5000000000" and "3250000000.01".
inline std::string MakeBook(const TempDir& dir, const std::vector<std::string>& names,
                            const std::vector<int>& deleted = {},
                            const std::string& file = "book.dat") {
  std::ostringstream diag;
  std::string bytes;
  for (const std::string& name : names) {
    MasterKeyRecord record;
    record.name = name;
    record.enlarge = 5;
    record.scramble = 3.25;
    for (int n = 1; n <= KEY_COUNT; ++n) record.keys[n - 1] = name + "-key" + std::to_string(n);
    bytes += RecordBytes(record, diag);
  }
  WriteBytes(dir.File(file), bytes);
  for (int number : deleted) EXPECT_EQ(MarkDeleted(dir.File(file), number), WriteResult::Written);
  return dir.File(file);
}

inline QStringList ListEntries(const QComboBox* combo) {
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
    SetDiagnostics(&diagnostics);
    ::setenv("FAKE_ENGINE_RECORD", record.c_str(), 1);
  }
  ~AppTest() override {
    SetClock({});
    SetDiagnostics(nullptr);
    for (const char* name : {"FAKE_ENGINE_RECORD", "FAKE_ENGINE_STATUS", "FAKE_ENGINE_SLEEP"})
      ::unsetenv(name);
  }

  // Shows the window and makes it the active one, so focus moves can be seen.
  void Activate() {
    window.show();
    QApplication::setActiveWindow(&window);
    QApplication::processEvents();
  }
  QWidget* Focused() const { return QApplication::focusWidget(); }
  QComboBox* Combo() const { return window.MasterKeyCombo(); }
  void ChooseBook(const std::string& path) {
    prompts.Pick(QString::fromStdString(path));
    window.OnBrowseKeyBook();
  }

  // The engine contract's example typed in: Key Book books.dat, Master Key 3, source
  // a.txt, target b.dat, with the stand-in engine as the engine path.
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
  void Run(const char* button) {  // presses and confirms
    prompts.Answer(Answer::Ok);
    Press(button);
  }
  // The items of each run of the stand-in engine.
  std::vector<Items> Runs() const {
    std::vector<Items> runs;
    for (const QByteArray& run : QByteArray::fromStdString(ReadBytes(record)).split('\n')) {
      if (run.isEmpty()) continue;
      runs.emplace_back();
      for (const QByteArray& item : run.chopped(1).split('\0'))
        runs.back().push_back(item.toStdString());
    }
    return runs;
  }

  std::ostringstream diagnostics;  // the Key Book code's console lines
  TempDir dir;
  const std::string record = dir.File("engine-items");
  ScriptedPrompts prompts;
  ModalScript modal;
  RecordingConsole console;
  StartedMainWindow window;
};

}  // namespace rux::test
