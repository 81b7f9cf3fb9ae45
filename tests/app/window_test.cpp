// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
// Start-up, the simple buttons, the way out, screen readers and keyboard users, dropped files.
#include <unistd.h>
#include <QAction>
#include <QMimeData>

#include "app/about_dlg.h"
#include "app/config/configuration_file.h"
#include "app_fixture.h"
#include "editing/modify_dlg.h"
#include "editing/new_master_key_dlg.h"
#include "manage/search_dlg.h"

namespace rux::test {
namespace {

// The fields after start-up ("=" enabled, ":" disabled), an unreadable working folder said; the
// pickers, "Clear", and "Run RUX4 (Console)" handing its text unquoted to the interpreter.
TEST_F(AppTest, StartUpPickersClearAndRunConsole) {
  QStringList fields;
  for (QLineEdit* field : window.findChildren<QLineEdit*>()) {
    if (field->isVisibleTo(&window) && !field->objectName().isEmpty())
      fields << field->objectName() + (field->isEnabled() ? "=" : ":") + field->text();
  }
  EXPECT_EQ(fields.join(' '),
            "enginePath=rux4.exe keyBook: keyNumber:0 param1= param2= param3= param4= param5= "
            "param6= param7= param8= param9= param10= param12= param13= param11: param14: "
            "verifyFile: sourceFile: targetFile:");
  EXPECT_EQ(QStringList({window.windowTitle(), window.m_strEnginePath, window.m_strEngineCommand,
                         window.LogPanel()->toPlainText(), QString::number(Combo()->count())}),
            QStringList({"shell_rux  4.5", "rux4.exe", "rux4.exe", "", "0"}));
  const auto here = std::filesystem::current_path();
  EXPECT_EQ(CShellruxDlg().m_strEnginePath, QString::fromStdString(here / "rux4.exe"));
  TempDir gone;
  std::filesystem::current_path(gone.Path());
  ::rmdir(gone.Path().c_str());
  EXPECT_TRUE(CShellruxDlg().m_strEnginePath.isEmpty());
  std::filesystem::current_path(here);
  EXPECT_EQ(prompts.Boxes(), QStringList({"shell_rux: Current directory _getcwd error"}));
  EXPECT_EQ(prompts.Messages()[0].icon, Icon::None);
  prompts.Clear();
  prompts.Pick("/data/plain.txt").Pick("/data/out.rux").Pick("/data/check.key").CancelPick();
  for (const char* button : {"sourceBrowse", "targetBrowse", "verifyBrowse", "engineBrowse"})
    Press(button);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(prompts.All().at(i).initialName, "*.*");
    EXPECT_EQ(prompts.All()[i].overwritePrompt, i == 1);
  }
  EXPECT_EQ(window.m_strVerifyFile, "/data/check.key");
  Press("verifyClear");
  EXPECT_EQ(QStringList({Field("sourceFile"), window.m_strTargetFile, window.m_strVerifyFile,
                         Field("verifyFile"), window.m_strEnginePath}),
            QStringList({"/data/plain.txt", "/data/out.rux", "", "", "rux4.exe"}));
  const auto saved = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  WriteBytes(dir.File("ls"), "#!/bin/sh\necho local ls \"$1\"\n");
  ::chmod(dir.File("ls").c_str(), 0755);
  SetEnginePath("ls   -l");
  Press("runConsole");
  std::filesystem::current_path(saved);
  EXPECT_EQ(window.m_strEngineCommand, "ls   -l");
  EXPECT_EQ(console.output, "local ls -l\n");  // unquoted: the interpreter splits it
  EXPECT_EQ(console.events, QStringList({"open", "title:ls   -l", "run"}));
}

// Exit asks; Cancel offers the save, then the About box (also in the menu) unless it failed.
TEST_F(AppTest, ExitAsksAndSavesOnCancelThenShowsTheAboutBox) {
  window.AppendLog("kept at exit");
  const std::string file = dir.File("exit.cfg");
  WriteBytes(dir.File("plain"), "a file, not a folder");
  prompts.Answer(Answer::Ok);
  prompts.Answer(Answer::Cancel).Pick(QString::fromStdString(file));
  prompts.Answer(Answer::Cancel).CancelPick();
  prompts.Answer(Answer::Cancel).Pick(QString::fromStdString(dir.File("plain") + "/x.cfg"));
  modal.Then<CAboutDlg>([](CAboutDlg& d) { Child<QPushButton>(&d, "ok")->click(); });
  for (int i = 0; i < 3; ++i) modal.Then<CAboutDlg>([](CAboutDlg& d) { d.accept(); });
  Press("quit");
  EXPECT_EQ(prompts.All().size(), 1u);  // no save picker
  EXPECT_EQ(window.ModalResult(), Dialog::IDCANCEL);
  for (int i = 0; i < 3; ++i) window.reject();  // Escape and the close box do the same
  ASSERT_EQ(window.actions().size(), 2);
  EXPECT_EQ(window.actions()[1]->text(), "Acerca de shellrux");
  window.actions()[1]->trigger();
  EXPECT_EQ(modal.Titles(), QStringList(4, "shell_rux"));  // not after the failed save
  EXPECT_EQ(Boxes().toStdString(), Expected("exit-boxes.txt"));
  EXPECT_EQ(window.m_strLog, "kept at exit");
  EXPECT_TRUE(ReadBytes(file).find("kept at exit") != std::string::npos);
}

// Every control has a name for screen readers, and Tab goes in reading order.
TEST_F(AppTest, EveryWindowNamesItsControlsAndTabsInReadingOrder) {
  CKeysDlg keys;
  CNewMasterKeyDlg newKey;
  CModifyDlg modify;
  CSearchDlg search;
  CLogDlg log;
  CAboutDlg about;
  QStringList orders, unnamed;
  for (int i = 0; i < 7; ++i) {
    modal.Then([&](QDialog& d) {
      QStringList order;
      for (QWidget* w = d.nextInFocusChain(); w != &d; w = w->nextInFocusChain()) {
        if (w->isVisibleTo(&d) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
            !w->focusProxy())
          order << w->objectName();
      }
      orders << order.join(' ');
      for (QWidget* w : d.findChildren<QWidget*>()) {
        auto* button = qobject_cast<QAbstractButton*>(w);
        const bool input = qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                           qobject_cast<QPlainTextEdit*>(w);
        if (w->isVisibleTo(&d) && (button || input) && w->accessibleName().isEmpty() &&
            (!button || button->text().isEmpty()))
          unnamed << w->objectName();
      }
      d.done(QDialog::Rejected);
    });
  }
  for (Dialog* d : std::initializer_list<Dialog*>{&window, &keys, &newKey, &modify, &search, &log})
    d->DoModal();
  about.DoModal();
  EXPECT_EQ((orders.join('\n') + '\n').toStdString(), Expected("tab-orders.txt"));
  QStringList names = {Child<QWidget>(&window, "targetBrowse")->accessibleDescription()};
  for (const char* control : {"masterKeyCombo", "enginePath", "param14"})
    names << Child<QWidget>(&window, control)->accessibleName();
  names << Child<QWidget>(&keys, "key6")->accessibleName();
  EXPECT_EQ(names,
            QStringList({"Target File", "Master Key", "PATH RUX4.EXE", "Parameter 14", "Key 6"}));
  EXPECT_EQ(unnamed, QStringList());
}

// Drops onto a control's centre as the desktop does (the window takes drops); whether taken.
bool Drop(CShellruxDlg& window, QWidget* control, const QList<QUrl>& urls,
          const QString& text = {}) {
  QMimeData data;
  if (!urls.isEmpty()) data.setUrls(urls);
  if (!text.isEmpty()) data.setText(text);
  window.adjustSize();
  const QPoint at = control->mapTo(&window, control->rect().center());
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &enter);
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &drop);
  QCoreApplication::sendPostedEvents();
  return enter.isAccepted() && drop.isAccepted();
}

// Each row takes a dropped file as its Browse takes a chosen one; several, folders, remote refused.
TEST_F(AppTest, DroppedFilesAreTakenAsTheRowsBrowseTakesThem) {
  const std::string odd = " l'été \"à\" b ";
  const auto path = [&](const QString& name) {
    return QString::fromStdString(dir.File(name.toStdString() + odd));
  };
  const auto local = [&](const QString& name) { return QUrl::fromLocalFile(path(name)); };
  Book({"a1", "a2"}, "book" + odd);
  for (const char* name : {"source", "target", "verify"}) WriteBytes(dir.File(name + odd), "x");
  ConfigurationValues loaded;
  loaded.keyBook = path("book");
  loaded.log = "the loaded log";
  ASSERT_TRUE(WriteConfigurationFile(path("config"), loaded));
  prompts.Answer(Answer::Cancel).Answer(Answer::Ok);  // replace the target: no, then yes
  const auto control = [&](const QString& name) { return Child<QWidget>(&window, name); };
  for (const QString row : {"sourceFile source", "targetBrowse target", "targetFile target",
                            "verifyBrowse verify", "keyBook book"})
    EXPECT_TRUE(Drop(window, control(row.section(' ', 0, 0)), {local(row.section(' ', 1))}))
        << row.toStdString();
  EXPECT_EQ(
      QStringList({window.m_strSourceFile, window.m_strTargetFile, window.m_strVerifyFile,
                   Field("sourceFile"), window.m_strMasterKeyName, Field("keyNumber")}),
      QStringList({path("source"), path("target"), path("verify"), path("source"), "a1", "1"}));
  EXPECT_EQ(Entries(Combo()), QStringList({"a1", "a2"}));
  EXPECT_TRUE(Drop(window, control("configSave"), {local("config")}));
  EXPECT_EQ(window.m_strConfigFile, path("config"));
  EXPECT_TRUE(window.m_strSourceFile.isEmpty());  // all fields are the loaded ones
  for (const QList<QUrl>& urls : {QList<QUrl>{local("source"), local("target")},
                                  {QUrl::fromLocalFile(QString::fromStdString(dir.Path()))},
                                  {QUrl("https://example.org/one")}})
    EXPECT_TRUE(Drop(window, control("sourceBrowse"), urls));
  EXPECT_FALSE(Drop(window, control("sourceBrowse"), {}, path("source")));
  EXPECT_FALSE(Drop(window, control("encode"), {local("source")}));
  EXPECT_TRUE(window.m_strSourceFile.isEmpty());
  EXPECT_EQ(Boxes().toStdString(), Expected("drop-boxes.txt"));
  EXPECT_EQ(prompts.All().size(), 6u);  // no picker
}

}  // namespace
}  // namespace rux::test
