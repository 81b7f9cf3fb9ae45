// Renders every window of the program to a PNG file, without a display:
//   screenshots OUTPUT_FOLDER
// Each window is filled as a user would see it and grabbed.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <functional>
#include <vector>

#include "app/about_dlg.h"
#include "app/shellrux_dlg.h"
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
  return 0;
}
