#pragma once
// The main window as the user finds it after start-up, with scripted prompts,
// scripted modal runs, a temporary folder, a fixed clock and Key Books made
// with the Key Book code.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/shellrux_dlg.h"
#include "keybook/key_book.h"
#include "keybook/master_key_record.h"
#include "platform/text/timestamp.h"
#include "support/modal_script.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"

namespace rux::test {

// Runs the window's own initialisation, as its modal run does first.
class StartedMainWindow : public CShellruxDlg {
 public:
  StartedMainWindow() { OnInitDialog(); }
};

// A record whose texts tell where they came from: Key n is "<name>-key<n>".
// Enlarge 5 and Scramble 3.25 are stored as "5000000000" and "3250000000.01".
inline MasterKeyRecord NamedRecord(const std::string& name) {
  MasterKeyRecord record;
  record.name = name;
  for (int n = 1; n <= KEY_COUNT; ++n) record.keys[n - 1] = name + "-key" + std::to_string(n);
  record.enlarge = 5;
  record.scramble = 3.25;
  return record;
}

// Writes a Key Book of the named records; the numbers in deleted are then
// marked deleted. Returns its path.
inline std::string MakeBook(const TempDir& dir, const std::vector<std::string>& names,
                            const std::vector<int>& deleted = {},
                            const std::string& file = "book.dat") {
  std::ostringstream diag;
  SetDiagnostics(&diag);
  std::string bytes;
  for (const std::string& name : names) bytes += RecordBytes(NamedRecord(name), diag);
  const std::string path = dir.File(file);
  WriteBytes(path, bytes);
  for (int number : deleted) EXPECT_EQ(MarkDeleted(path, number), WriteResult::Written);
  SetDiagnostics(nullptr);
  return path;
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

class MainWindowTest : public ::testing::Test {
 protected:
  // Fri Mar 01 09:05:07 2013 in the time zone the test sets.
  static constexpr std::time_t kFixedTime = 1362128707;

  void SetUp() override {
    SetClock([] { return kFixedTime; });
    SetDiagnostics(&diagnostics);
  }
  void TearDown() override {
    SetClock({});
    SetDiagnostics(nullptr);
  }

  // Shows the window and makes it the active one, so focus moves can be seen.
  void Activate() {
    window.show();
    QApplication::setActiveWindow(&window);
    window.activateWindow();
    QApplication::processEvents();
  }
  QWidget* Focused() const { return QApplication::focusWidget(); }

  // Chooses the Key Book through "Browse".
  void ChooseBook(const std::string& path) {
    prompts.Pick(QString::fromStdString(path));
    window.OnBrowseKeyBook();
  }

  QComboBox* Combo() const { return window.MasterKeyCombo(); }

  std::ostringstream diagnostics;  // the Key Book code's console lines
  ScriptedPrompts prompts;
  ModalScript modal;
  TempDir dir;
  StartedMainWindow window;
};

}  // namespace rux::test
