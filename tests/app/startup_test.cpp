// Start-up, the main window's simple buttons, and the way out.
#include <sys/stat.h>
#include <unistd.h>
#include <QAction>
#include <filesystem>

#include "app/about_dlg.h"
#include "app/config/configuration.h"
#include "app_fixture.h"

namespace rux::test {
namespace {

TEST_F(AppTest, StartUpShowsTheDefaultEngineAndEmptyFields) {
  const QString here = QString::fromStdString(std::filesystem::current_path());
  EXPECT_EQ(CShellruxDlg().m_strEnginePath, here + "/rux4.exe");  // before it initialises
  EXPECT_EQ(window.windowTitle(), "shell_rux  4.5");
  EXPECT_EQ(Child<QLineEdit>(&window, "enginePath")->text(), "rux4.exe");
  EXPECT_EQ(QStringList({window.m_strEnginePath, window.m_strEngineCommand}),
            QStringList(2, "rux4.exe"));
  for (const char* name : {"keyBook", "keyNumber", "sourceFile", "targetFile", "verifyFile"}) {
    EXPECT_FALSE(Child<QLineEdit>(&window, name)->isEnabled()) << name;
    EXPECT_EQ(Child<QLineEdit>(&window, name)->text(), name == QString("keyNumber") ? "0" : "");
  }
  for (int n = 1; n <= 14; ++n) {
    EXPECT_TRUE(window.ParamField(n)->text().isEmpty()) << n;
    EXPECT_EQ(window.ParamField(n)->isEnabled(), n != 11 && n != 14) << n;
  }
  EXPECT_TRUE(Child<QLineEdit>(&window, "masterKeyName")->isHidden());
  EXPECT_EQ(Combo()->count(), 0);
  EXPECT_TRUE(window.LogPanel()->toPlainText().isEmpty());
  EXPECT_TRUE(prompts.All().empty());
}

TEST_F(AppTest, UnreadableWorkingFolderIsReportedWithoutAnIcon) {
  const auto saved = std::filesystem::current_path();
  {
    TempDir gone;
    std::filesystem::current_path(gone.Path());
    ::rmdir(gone.Path().c_str());
    EXPECT_TRUE(CShellruxDlg().m_strEnginePath.isEmpty());
    std::filesystem::current_path(saved);
  }
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0].text, "Current directory _getcwd error");
  EXPECT_EQ(prompts.Messages()[0].icon, Icon::None);
}

TEST_F(AppTest, PickersStartFromStarDotStarAndClearEmptiesOnlyTheConfirmationFile) {
  prompts.Pick("/data/plain.txt").Pick("/data/out.rux").Pick("/data/check.key").CancelPick();
  for (const char* button : {"sourceBrowse", "targetBrowse", "verifyBrowse", "engineBrowse"})
    Press(button);
  EXPECT_EQ(Child<QLineEdit>(&window, "sourceFile")->text(), "/data/plain.txt");
  EXPECT_EQ(window.m_strTargetFile, "/data/out.rux");
  EXPECT_EQ(window.m_strEnginePath, "rux4.exe");  // cancelled
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(prompts.All().at(i).initialName, "*.*");
    EXPECT_EQ(prompts.All()[i].overwritePrompt, i == 1);  // an existing target is confirmed
  }
  EXPECT_EQ(window.m_strVerifyFile, "/data/check.key");
  Press("verifyClear");
  EXPECT_TRUE(window.m_strVerifyFile.isEmpty());
  EXPECT_TRUE(Child<QLineEdit>(&window, "verifyFile")->text().isEmpty());
  EXPECT_EQ(window.m_strSourceFile, "/data/plain.txt");
}

TEST_F(AppTest, RunConsoleHandsTheTextToTheInterpreterFindingABareProgramHereFirst) {
  const auto saved = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  WriteBytes(dir.File("ls"), "#!/bin/sh\necho local ls \"$1\"\n");
  ::chmod(dir.File("ls").c_str(), 0755);
  EXPECT_EQ(ConsoleCommand("/bin/ls -l"), "/bin/ls -l");
  EXPECT_EQ(ConsoleCommand("cat x"), "cat x");
  SetEnginePath("ls   -l");
  Press("runConsole");
  std::filesystem::current_path(saved);
  EXPECT_EQ(window.m_strEngineCommand, "ls   -l");
  EXPECT_EQ(console.output, "local ls -l\n");  // unquoted: the interpreter splits it
  EXPECT_EQ(console.events, QStringList({"open", "title:ls   -l", "run"}));
}

// OK ends without saving; Cancel offers the save, and the About box follows
// even when the save picker is cancelled.
TEST_F(AppTest, ExitAsksAndSavesOnCancelThenShowsTheAboutBox) {
  window.AppendLog("kept at exit");
  const std::string file = dir.File("exit.cfg");
  prompts.Answer(Answer::Ok);
  prompts.Answer(Answer::Cancel).Pick(QString::fromStdString(file));
  prompts.Answer(Answer::Cancel).CancelPick();
  modal.Then<CAboutDlg>([](CAboutDlg& d) { Child<QPushButton>(&d, "ok")->click(); });
  for (int i = 0; i < 2; ++i) modal.Then<CAboutDlg>([](CAboutDlg& d) { d.accept(); });
  Press("quit");
  EXPECT_EQ(prompts.All().size(), 1u);  // no save picker
  EXPECT_EQ(window.ModalResult(), Dialog::IDCANCEL);
  window.reject();  // Escape and the close box do the same
  window.reject();
  EXPECT_EQ(prompts.MessageTexts(),
            QStringList(3,
                        "ATTENTION! Exit without saving changes?... \nIf you press OK, "
                        "configuration will not be saved.\n\n"));
  EXPECT_EQ(prompts.Captions(), QStringList(3, "RUX EXIT"));
  EXPECT_EQ(prompts.All()[0].buttons, Buttons::OkCancel);
  EXPECT_EQ(modal.Titles(), QStringList(3, "shell_rux"));
  const auto saved = ParseConfiguration(QByteArray::fromStdString(ReadBytes(file)));
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(saved->log, "kept at exit");
}

// The user asked to save: a save that failed must not throw the log away.
TEST_F(AppTest, ExitStaysWhenTheSaveFailed) {
  WriteBytes(dir.File("plain"), "a file, not a folder");
  window.AppendLog("precious log");
  prompts.Answer(Answer::Cancel).Pick(QString::fromStdString(dir.File("plain") + "/saved.cfg"));
  window.reject();
  EXPECT_EQ(prompts.Captions(), QStringList({"RUX EXIT", "ERROR"}));
  EXPECT_TRUE(modal.Titles().isEmpty());  // no About box: the window stays
  EXPECT_EQ(window.m_strLog, "precious log");
}

TEST_F(AppTest, WindowMenuOffersTheAboutBoxBelowASeparator) {
  const auto actions = window.actions();
  ASSERT_EQ(actions.size(), 2);
  EXPECT_TRUE(actions[0]->isSeparator());
  EXPECT_EQ(actions[1]->text(), "Acerca de shellrux");
  modal.Then<CAboutDlg>([](CAboutDlg& d) { d.accept(); });
  actions[1]->trigger();
  EXPECT_EQ(modal.Titles(), QStringList{"shell_rux"});
}

}  // namespace
}  // namespace rux::test
