// Start-up, the main window's simple buttons, and the way out.
#include <unistd.h>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <filesystem>

#include <gtest/gtest.h>

#include "app/about_dlg.h"
#include "app/shellrux_dlg.h"
#include "support/modal_script.h"
#include "support/recording_console.h"
#include "support/scripted_prompts.h"
#include "support/temp_dir.h"
#include "support/widget_find.h"

namespace rux {
namespace {

using test::Child;

// Opens the main window as start-up does and hands it to the test while it runs.
void Open(CShellruxDlg& window, test::ModalScript& modal,
          std::function<void(CShellruxDlg&)> whileOpen) {
  modal.Then<CShellruxDlg>([&](CShellruxDlg& w) {
    whileOpen(w);
    w.EndDialog(Dialog::IDCANCEL);
  });
  window.DoModal();
}

TEST(StartUp, FreshWindowShowsTheDefaultEngineAndEmptyFields) {
  test::ScriptedPrompts prompts;
  test::ModalScript modal;
  CShellruxDlg window;
  EXPECT_EQ(window.windowTitle(), "shell_rux  4.5");
  Open(window, modal, [](CShellruxDlg& w) {
    EXPECT_EQ(Child<QLineEdit>(&w, "enginePath")->text(), "rux4.exe");
    EXPECT_EQ(w.m_strEnginePath, "rux4.exe");
    EXPECT_EQ(w.m_strEngineCommand, "rux4.exe");
    EXPECT_EQ(Child<QLineEdit>(&w, "keyNumber")->text(), "0");
    for (const char* name : {"keyBook", "sourceFile", "targetFile", "verifyFile"})
      EXPECT_TRUE(Child<QLineEdit>(&w, name)->text().isEmpty()) << name;
    for (int n = 1; n <= 14; ++n) EXPECT_TRUE(w.ParamField(n)->text().isEmpty());
    EXPECT_EQ(Child<QComboBox>(&w, "masterKeyCombo")->count(), 0);
    EXPECT_TRUE(w.LogPanel()->toPlainText().isEmpty());
  });
  EXPECT_TRUE(prompts.All().empty());
}

TEST(StartUp, ControlsHaveTheirStates) {
  test::ScriptedPrompts prompts;
  CShellruxDlg w;
  for (const char* name : {"keyBook", "keyNumber", "sourceFile", "targetFile", "verifyFile"})
    EXPECT_FALSE(Child<QLineEdit>(&w, name)->isEnabled()) << name;
  EXPECT_TRUE(Child<QLineEdit>(&w, "masterKeyName")->isHidden());
  for (int n = 1; n <= 14; ++n) EXPECT_EQ(w.ParamField(n)->isEnabled(), n != 11 && n != 14) << n;
  EXPECT_TRUE(Child<QPushButton>(&w, "keyManagement")->isDefault());
  EXPECT_TRUE(Child<QComboBox>(&w, "masterKeyCombo")->isEditable());
}

TEST(StartUp, UnreadableWorkingFolderIsReportedWithoutAnIcon) {
  test::ScriptedPrompts prompts;
  const auto saved = std::filesystem::current_path();
  {
    test::TempDir gone;
    std::filesystem::current_path(gone.Path());
    ::rmdir(gone.Path().c_str());
    CShellruxDlg window;
    std::filesystem::current_path(saved);
    EXPECT_TRUE(window.m_strEnginePath.isEmpty());
  }
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0].text, "Current directory _getcwd error");
  EXPECT_EQ(prompts.Messages()[0].icon, Icon::None);
  EXPECT_EQ(prompts.Messages()[0].buttons, Buttons::Ok);
}

TEST(StartUp, EnginePathComesFromTheWorkingFolder) {
  test::ScriptedPrompts prompts;
  CShellruxDlg window;  // before the window initialises
  EXPECT_EQ(window.m_strEnginePath,
            QString::fromStdString(std::filesystem::current_path().string()) + "/rux4.exe");
}

TEST(MainWindow, TypingInAParameterFieldUpdatesItsMemberAtOnce) {
  test::ScriptedPrompts prompts;
  CShellruxDlg w;
  w.ParamField(5)->setText("fifth");
  EXPECT_EQ(w.m_strParam[4], "fifth");
  Child<QLineEdit>(&w, "enginePath")->setText("/opt/engine");
  EXPECT_EQ(w.m_strEnginePath, "/opt/engine");
}

TEST(MainWindow, PickersStartFromStarDotStarAndStoreTheChosenPath) {
  test::ScriptedPrompts prompts;
  CShellruxDlg w;
  prompts.Pick("/data/plain.txt").Pick("/data/out.rux").Pick("/data/check.key").CancelPick();
  Child<QPushButton>(&w, "sourceBrowse")->click();
  Child<QPushButton>(&w, "targetBrowse")->click();
  Child<QPushButton>(&w, "verifyBrowse")->click();
  Child<QPushButton>(&w, "engineBrowse")->click();  // cancelled
  EXPECT_EQ(Child<QLineEdit>(&w, "sourceFile")->text(), "/data/plain.txt");
  EXPECT_EQ(w.m_strTargetFile, "/data/out.rux");
  EXPECT_EQ(w.m_strVerifyFile, "/data/check.key");
  EXPECT_EQ(w.m_strEnginePath,
            QString::fromStdString(std::filesystem::current_path().string()) + "/rux4.exe");
  const auto& all = prompts.All();
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(all[0].picker, PickerKind::Open);
  EXPECT_FALSE(all[0].overwritePrompt);
  EXPECT_EQ(all[1].picker, PickerKind::Save);
  EXPECT_TRUE(all[1].overwritePrompt);  // an existing target is confirmed
  EXPECT_EQ(all[2].picker, PickerKind::Open);
  for (const auto& p : all) EXPECT_EQ(p.initialName, "*.*");
}

TEST(MainWindow, ClearEmptiesOnlyTheConfirmationFile) {
  test::ScriptedPrompts prompts;
  CShellruxDlg w;
  w.m_strVerifyFile = "/data/check.key";
  w.m_strSourceFile = "/data/plain.txt";
  w.m_strParam[0] = "p1";
  w.UpdateData(false);
  Child<QPushButton>(&w, "verifyClear")->click();
  EXPECT_TRUE(w.m_strVerifyFile.isEmpty());
  EXPECT_TRUE(Child<QLineEdit>(&w, "verifyFile")->text().isEmpty());
  EXPECT_EQ(w.m_strSourceFile, "/data/plain.txt");
  EXPECT_EQ(w.m_strParam[0], "p1");
}

TEST(MainWindow, RunConsoleHandsTheTextToTheCommandInterpreter) {
  test::ScriptedPrompts prompts;
  test::RecordingConsole console;
  CShellruxDlg w;
  Child<QLineEdit>(&w, "enginePath")->setText("echo started  with   blanks");
  Child<QPushButton>(&w, "runConsole")->click();
  EXPECT_EQ(w.m_strEngineCommand, "echo started  with   blanks");
  EXPECT_EQ(console.output, "started with blanks\n");  // unquoted: the interpreter splits it
  EXPECT_EQ(console.events.front(), "open");
  EXPECT_TRUE(console.events.contains("run"));
}

TEST(MainWindow, RunConsoleFindsABareProgramInTheCurrentFolderFirst) {
  test::TempDir dir;
  const auto saved = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  test::WriteBytes(dir.File("ls"), "#!/bin/sh\necho local ls \"$1\"\n");
  ::chmod(dir.File("ls").c_str(), 0755);
  EXPECT_EQ(ConsoleCommand("ls -l"), "./ls -l");
  EXPECT_EQ(ConsoleCommand("/bin/ls -l"), "/bin/ls -l");
  EXPECT_EQ(ConsoleCommand("cat x"), "cat x");
  {
    test::ScriptedPrompts prompts;
    test::RecordingConsole console;
    CShellruxDlg w;
    Child<QLineEdit>(&w, "enginePath")->setText("ls -l");
    Child<QPushButton>(&w, "runConsole")->click();
    EXPECT_EQ(console.output, "local ls -l\n");
  }
  std::filesystem::current_path(saved);
}

TEST(Exit, OkShowsTheAboutBoxAndEndsWithoutSaving) {
  test::ScriptedPrompts prompts;
  test::ModalScript modal;
  CShellruxDlg w;
  prompts.Answer(Answer::Ok);
  modal.Then<CAboutDlg>([](CAboutDlg& about) {
    EXPECT_EQ(about.windowTitle(), "shell_rux");
    Child<QPushButton>(&about, "ok")->click();
  });
  Child<QPushButton>(&w, "quit")->click();
  ASSERT_EQ(prompts.All().size(), 1u);  // no save picker
  EXPECT_EQ(prompts.All()[0].text,
            "ATTENTION! Exit without saving changes?... \nIf you press OK, configuration will "
            "not be saved.\n\n");
  EXPECT_EQ(prompts.All()[0].caption, "RUX EXIT");
  EXPECT_EQ(prompts.All()[0].buttons, Buttons::OkCancel);
  EXPECT_EQ(w.ModalResult(), Dialog::IDCANCEL);
}

TEST(Exit, CancelOffersTheSaveThenShowsTheAboutBoxEvenWhenTheSaveIsCancelled) {
  test::ScriptedPrompts prompts;
  test::ModalScript modal;
  CShellruxDlg w;
  prompts.Answer(Answer::Cancel).CancelPick();
  modal.Then<CAboutDlg>([](CAboutDlg& about) { about.accept(); });
  w.reject();  // Escape and the close box do the same
  ASSERT_EQ(prompts.All().size(), 2u);
  EXPECT_TRUE(prompts.All()[1].isPicker);
  EXPECT_EQ(prompts.All()[1].picker, PickerKind::Save);
  EXPECT_EQ(modal.Titles(), QStringList{"shell_rux"});
}

// The user asked to save: a save that failed must not throw the log away.
TEST(Exit, AFailedSaveKeepsTheWindowOpen) {
  test::ScriptedPrompts prompts;
  test::ModalScript modal;  // no About box may run
  test::TempDir dir;
  test::WriteBytes(dir.File("plain"), "a file, not a folder");
  CShellruxDlg w;
  w.m_strLog = "precious log";
  w.UpdateData(false);
  prompts.Answer(Answer::Cancel).Pick(QString::fromStdString(dir.File("plain") + "/saved.cfg"));
  w.reject();
  ASSERT_EQ(prompts.Messages().size(), 2u);
  EXPECT_EQ(prompts.Messages()[1].caption, "ERROR");
  EXPECT_TRUE(prompts.Messages()[1].text.endsWith("\nis not accessible, access is denied."));
  EXPECT_TRUE(modal.Titles().isEmpty());
  EXPECT_EQ(w.m_strLog, "precious log");
}

TEST(MainWindow, WindowMenuOffersTheAboutBox) {
  test::ScriptedPrompts prompts;
  test::ModalScript modal;
  CShellruxDlg w;
  QAction* about = Child<QAction>(&w, "aboutAction");
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->text(), "Acerca de shellrux");
  const auto actions = w.actions();
  const auto at = actions.indexOf(about);
  ASSERT_GT(at, 0);
  EXPECT_TRUE(actions[at - 1]->isSeparator());
  modal.Then<CAboutDlg>([](CAboutDlg& d) { d.accept(); });
  about->trigger();
  EXPECT_EQ(modal.Titles(), QStringList{"shell_rux"});
}

}  // namespace
}  // namespace rux
