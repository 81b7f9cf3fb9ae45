// Renders every window of the program to a PNG file, without a display:
//   screenshots OUTPUT_FOLDER
// Each window is filled as a user would see it and grabbed.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <functional>
#include <sstream>
#include <vector>

#include "app/about_dlg.h"
#include "app/log_dlg.h"
#include "app/shellrux_dlg.h"
#include "editing/modify_dlg.h"
#include "editing/new_master_key_dlg.h"
#include "editing/rules/field_rules.h"
#include "keybook/key_book.h"
#include "manage/keys_dlg.h"
#include "manage/search_dlg.h"
#include "platform/seams/child_process.h"
#include "platform/widgets/console_window.h"
#include "platform/widgets/modal.h"
#include "platform/widgets/widget_prompts.h"

namespace {

void Save(QWidget& window, const QString& folder, const QString& name) {
  window.show();
  QApplication::processEvents();
  const QString path = folder + "/" + name + ".png";
  if (window.grab().save(path))
    std::printf("%s\n", qPrintable(path));
  else
    std::fprintf(stderr, "could not write %s\n", qPrintable(path));
  window.hide();
}

// A small Key Book for the key management windows.
QString MakeSampleBook(const QTemporaryDir& folder) {
  const std::string path = folder.filePath("keys.dat").toStdString();
  for (const char* name : {"office", "archive", "travel"}) {
    rux::MasterKeyRecord record;
    record.name = name;
    record.bookPath = path;
    for (int n = 1; n <= rux::KEY_COUNT; ++n) {
      record.keys[n - 1] = std::string(name) + "-key-" + std::to_string(n);
    }
    record.enlarge = 5;
    record.scramble = 3.25;
    rux::StoreNewRecord(path, record);
  }
  return QString::fromStdString(path);
}

void SaveKeyManagementWindows(const QString& folder, QString& name) {
  std::ostringstream diagnostics;
  rux::SetDiagnostics(&diagnostics);
  QTemporaryDir temporary;
  const QString book = MakeSampleBook(temporary);

  rux::CKeysDlg keys;
  keys.m_strKeyBook = book;
  keys.m_strMasterKeyName = "archive";
  keys.show();
  keys.RefreshList();
  keys.ShowSelected();
  Save(keys, folder, "keys");

  rux::CNewMasterKeyDlg newMasterKey;
  newMasterKey.m_strKeyBook = book;
  newMasterKey.m_nKeyNumber = 2;
  name = "new-master-key";
  newMasterKey.DoModal();

  rux::CModifyDlg modify;
  modify.m_strKeyBook = book;
  modify.m_nKeyNumber = 2;
  modify.m_strMasterKeyName = "archive";
  modify.m_strKey = keys.m_strKey;
  modify.m_strEnlarge = keys.m_strEnlarge;
  rux::MasterKeyRecord record;
  rux::LoadRecord(book.toStdString(), 2, record);
  modify.m_strScramble = QString::fromStdString(rux::FormatScramble(record));
  modify.UpdateData(false);
  Save(modify, folder, "modify");

  rux::CSearchDlg search;
  search.m_strSearchText = "archive-key";
  name = "search";
  search.DoModal();
  rux::SetDiagnostics(nullptr);
}

// Answers every box with OK without showing it.
class AnswerOk : public rux::Prompts {
 public:
  rux::Answer Message(QWidget*, const QString&, const QString&, rux::Buttons, rux::Icon) override {
    return rux::Answer::Ok;
  }
  std::optional<QString> PickFile(QWidget*, rux::PickerKind, const QString&, bool) override {
    return std::nullopt;
  }
};

// The main window after a file was encoded and decoded with the shipped engine.
void SaveMainWindowAfterARun(const QString& folder, rux::ConsoleWindow& console) {
  QTemporaryDir temporary;
  std::ostringstream diagnostics;
  rux::SetDiagnostics(&diagnostics);
  const QString book = MakeSampleBook(temporary);
  rux::SetDiagnostics(nullptr);
  const QString plain = temporary.filePath("letter.txt");
  QFile file(plain);
  if (!file.open(QIODevice::WriteOnly) || file.write("Dear diary, a secret.\n") < 0) return;
  file.close();

  AnswerOk answers;
  rux::InstallPrompts(&answers);
  rux::InstallConsole(&console);
  rux::InstallModalRunner([&](QDialog& dialog) {
    auto& window = static_cast<rux::CShellruxDlg&>(dialog);
    window.m_strEnginePath =
        QDir::cleanPath(QApplication::applicationDirPath() + "/../run/rux4.exe");
    window.m_strKeyBook = book;
    window.m_nKeyNumber = 3;
    window.UpdateData(false);
    window.ReadMasterKey();
    window.FillMasterKeyList("No Master Key present, select one and try again.");
    window.m_strSourceFile = plain;
    window.m_strTargetFile = plain + ".rux";
    window.UpdateData(false);
    window.OnEncode();
    window.m_strSourceFile = plain + ".rux";
    window.m_strTargetFile = temporary.filePath("letter-decoded.txt");
    window.m_strVerifyFile.clear();
    window.UpdateData(false);
    window.OnDecode();
    Save(window, folder, "main-window-after-run");
    return int(rux::Dialog::IDCANCEL);
  });
  rux::CShellruxDlg main;
  main.DoModal();
  rux::InstallModalRunner(nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString folder = argc > 1 ? argv[1] : "screenshots";
  QDir().mkpath(folder);
  rux::WidgetPrompts prompts;
  rux::InstallPrompts(&prompts);

  // Each window is grabbed where it would run modally, after its initialisation.
  QString name;
  rux::InstallModalRunner([&](QDialog& window) {
    Save(window, folder, name);
    return int(rux::Dialog::IDCANCEL);
  });

  rux::CShellruxDlg main;
  name = "main-window";
  main.DoModal();

  rux::CAboutDlg about;
  Save(about, folder, "about");

  rux::CLogDlg log;
  log.m_strText =
      "\n FECHA: Fri Mar 01 09:05:07 2013\n\nLibro Claves: /home/user/keys.dat"
      "\nNumero de Clave: 2\nClave1: archive-key-1\nClave2: archive-key-2\n";
  name = "log";
  log.DoModal();

  SaveKeyManagementWindows(folder, name);

  rux::ConsoleWindow console;
  console.Open();
  console.SetTitle("CODIFICANDO ...RUX...");
  console.Write("\n ENCODING...Wait a moment please\n Source File: /home/user/plain.txt");
  Save(console, folder, "console");

  // The console while the engine runs: its output as it comes and the progress bar.
  console.Open();
  console.Write(
      "\n ENCODING...Wait a moment please\n Source File: /home/user/plain.txt"
      "\n Target File: /home/user/plain.rux\n ENCODING...Wait a moment please\n");
  rux::ChildProcess::Started engine = rux::ChildProcess::Start(
      "/bin/sh", {"-c",
                  "echo 'rux4: key book books.dat, master key 3'; echo 'rux4: encoding plain.txt'; "
                  "echo 'progress: 40%'; sleep 10"});
  if (engine.process) {
    QTimer grab;
    int tries = 0;
    QObject::connect(&grab, &QTimer::timeout, [&] {
      if (console.Progress() < 40 && ++tries < 100) return;
      grab.stop();
      Save(console, folder, "console-running");
      engine.process->Terminate();
    });
    grab.start(50);
    console.Run(*engine.process);
    console.Release();
  }

  SaveMainWindowAfterARun(folder, console);
  return 0;
}
