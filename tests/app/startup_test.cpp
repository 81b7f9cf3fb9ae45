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

QString WorkingFolder() { return QString::fromStdString(std::filesystem::current_path()); }

TEST_F(AppTest, StartUpShowsTheDefaultEngineEmptyFieldsAndTheirStates) {
  CShellruxDlg fresh;
  EXPECT_EQ(fresh.m_strEnginePath, WorkingFolder() + "/rux4.exe");  // before it initialises
  EXPECT_EQ(fresh.windowTitle(), "shell_rux  4.5");
  modal.Then<CShellruxDlg>([](CShellruxDlg& w) {
    EXPECT_EQ(Child<QLineEdit>(&w, "enginePath")->text(), "rux4.exe");
    EXPECT_EQ(w.m_strEnginePath, "rux4.exe");
    EXPECT_EQ(w.m_strEngineCommand, "rux4.exe");
    for (const char* name : {"keyBook", "keyNumber", "sourceFile", "targetFile", "verifyFile"}) {
      const QLineEdit* field = Child<QLineEdit>(&w, name);
      EXPECT_FALSE(field->isEnabled()) << name;
      EXPECT_EQ(field->text(), field->objectName() == "keyNumber" ? "0" : "") << name;
    }
    for (int n = 1; n <= 14; ++n) {
      EXPECT_TRUE(w.ParamField(n)->text().isEmpty()) << n;
      EXPECT_EQ(w.ParamField(n)->isEnabled(), n != 11 && n != 14) << n;
    }
    EXPECT_TRUE(Child<QLineEdit>(&w, "masterKeyName")->isHidden());
    EXPECT_TRUE(Child<QPushButton>(&w, "keyManagement")->isDefault());
    EXPECT_EQ(w.MasterKeyCombo()->count(), 0);
    EXPECT_TRUE(w.LogPanel()->toPlainText().isEmpty());
    w.EndDialog(Dialog::IDCANCEL);
  });
  fresh.DoModal();
  EXPECT_TRUE(prompts.All().empty());
}

TEST_F(AppTest, UnreadableWorkingFolderIsReportedWithoutAnIcon) {
  const auto saved = std::filesystem::current_path();
  {
    TempDir gone;
    std::filesystem::current_path(gone.Path());
    ::rmdir(gone.Path().c_str());
    CShellruxDlg w;
    std::filesystem::current_path(saved);
    EXPECT_TRUE(w.m_strEnginePath.isEmpty());
  }
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0].text, "Current directory _getcwd error");
  EXPECT_EQ(prompts.Messages()[0].icon, Icon::None);
  EXPECT_EQ(prompts.Messages()[0].buttons, Buttons::Ok);
}

TEST_F(AppTest, PickersStartFromStarDotStarAndClearEmptiesOnlyTheConfirmationFile) {
  prompts.Pick("/data/plain.txt").Pick("/data/out.rux").Pick("/data/check.key").CancelPick();
  for (const char* button : {"sourceBrowse", "targetBrowse", "verifyBrowse", "engineBrowse"})
    Press(button);
  EXPECT_EQ(Child<QLineEdit>(&window, "sourceFile")->text(), "/data/plain.txt");
  EXPECT_EQ(window.m_strTargetFile, "/data/out.rux");
  EXPECT_EQ(window.m_strVerifyFile, "/data/check.key");
  EXPECT_EQ(window.m_strEnginePath, "rux4.exe");  // cancelled
  ASSERT_EQ(prompts.All().size(), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(prompts.All()[i].initialName, "*.*");
    EXPECT_EQ(prompts.All()[i].picker, i == 1 ? PickerKind::Save : PickerKind::Open);
    EXPECT_EQ(prompts.All()[i].overwritePrompt, i == 1);  // an existing target is confirmed
  }
  TypeParam(1, "p1");
  EXPECT_EQ(window.m_strParam[0], "p1");  // a typed field reaches its member at once
  Press("verifyClear");
  EXPECT_TRUE(window.m_strVerifyFile.isEmpty());
  EXPECT_TRUE(Child<QLineEdit>(&window, "verifyFile")->text().isEmpty());
  EXPECT_EQ(window.m_strSourceFile, "/data/plain.txt");
  EXPECT_EQ(window.m_strParam[0], "p1");
}

TEST_F(AppTest, RunConsoleHandsTheTextToTheInterpreterFindingABareProgramHereFirst) {
  const auto saved = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  WriteBytes(dir.File("ls"), "#!/bin/sh\necho local ls \"$1\"\n");
  ::chmod(dir.File("ls").c_str(), 0755);
  EXPECT_EQ(ConsoleCommand("ls -l"), "./ls -l");
  EXPECT_EQ(ConsoleCommand("/bin/ls -l"), "/bin/ls -l");
  EXPECT_EQ(ConsoleCommand("cat x"), "cat x");
  const char* runs[][2] = {{"ls -l", "local ls -l\n"},
                           {"echo started  with   blanks", "started with blanks\n"}};
  for (const auto& [typed, printed] : runs) {
    console.output.clear();
    console.events.clear();
    SetEnginePath(typed);
    Press("runConsole");
    EXPECT_EQ(window.m_strEngineCommand, typed);
    EXPECT_EQ(console.output, printed);  // unquoted: the interpreter splits it
    EXPECT_EQ(console.events.mid(0, 3), QStringList({"open", "title:" + QString(typed), "run"}));
  }
  std::filesystem::current_path(saved);
}

TEST_F(AppTest, ExitWithOkShowsTheAboutBoxAndEndsWithoutSaving) {
  prompts.Answer(Answer::Ok);
  modal.Then<CAboutDlg>([](CAboutDlg& about) { Child<QPushButton>(&about, "ok")->click(); });
  Press("quit");
  ASSERT_EQ(prompts.All().size(), 1u);  // no save picker
  EXPECT_EQ(prompts.All()[0].text,
            "ATTENTION! Exit without saving changes?... \nIf you press OK, configuration will "
            "not be saved.\n\n");
  EXPECT_EQ(prompts.All()[0].caption, "RUX EXIT");
  EXPECT_EQ(prompts.All()[0].buttons, Buttons::OkCancel);
  EXPECT_EQ(modal.Titles(), QStringList{"shell_rux"});
  EXPECT_EQ(window.ModalResult(), Dialog::IDCANCEL);
}

TEST_F(AppTest, ExitWithCancelSavesThenShowsTheAboutBoxEvenWhenTheSaveIsCancelled) {
  window.AppendLog("kept at exit");
  const std::string file = dir.File("exit.cfg");
  prompts.Answer(Answer::Cancel).Pick(QString::fromStdString(file));
  prompts.Answer(Answer::Cancel).CancelPick();
  modal.Then<CAboutDlg>([](CAboutDlg& d) { d.accept(); });
  modal.Then<CAboutDlg>([](CAboutDlg& d) { d.accept(); });
  window.reject();  // Escape and the close box do the same
  window.reject();
  EXPECT_EQ(prompts.Captions(), QStringList({"RUX EXIT", "RUX EXIT"}));
  ASSERT_EQ(prompts.All().size(), 4u);
  EXPECT_EQ(prompts.All()[1].picker, PickerKind::Save);
  const auto saved = ParseConfiguration(QByteArray::fromStdString(ReadBytes(file)));
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(saved->log, "kept at exit");
  EXPECT_EQ(window.ModalResult(), Dialog::IDCANCEL);
}

// The user asked to save: a save that failed must not throw the log away.
TEST_F(AppTest, ExitStaysWhenTheSaveFailed) {
  WriteBytes(dir.File("plain"), "a file, not a folder");
  window.AppendLog("precious log");
  prompts.Answer(Answer::Cancel).Pick(QString::fromStdString(dir.File("plain") + "/saved.cfg"));
  window.reject();
  ASSERT_EQ(prompts.Messages().size(), 2u);
  EXPECT_EQ(prompts.Messages()[1].caption, "ERROR");
  EXPECT_TRUE(prompts.Messages()[1].text.endsWith("\nis not accessible, access is denied."));
  EXPECT_TRUE(modal.Titles().isEmpty());  // no About box: the window stays
  EXPECT_EQ(window.m_strLog, "precious log");
}

TEST_F(AppTest, WindowMenuOffersTheAboutBoxBelowASeparator) {
  QAction* about = Child<QAction>(&window, "aboutAction");
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->text(), "Acerca de shellrux");
  const auto at = window.actions().indexOf(about);
  ASSERT_GT(at, 0);
  EXPECT_TRUE(window.actions()[at - 1]->isSeparator());
  modal.Then<CAboutDlg>([](CAboutDlg& d) { d.accept(); });
  about->trigger();
  EXPECT_EQ(modal.Titles(), QStringList{"shell_rux"});
}

}  // namespace
}  // namespace rux::test
