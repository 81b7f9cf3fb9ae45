// Start-up only: the program's own flags, the toolkit, the prompts and the
// console, then the application.
#include <QApplication>
#include <csignal>

#include "app/app_icon.h"
#include "app/program_flags.h"
#include "app/shellrux_app.h"
#include "platform/widgets/console_window.h"
#include "platform/widgets/widget_prompts.h"

static rux::CShellruxApp theApp;

int main(int argc, char** argv) {
  if (const std::optional<int> status = rux::AnswerProgramFlags(argc, argv)) return *status;
  QApplication application(argc, argv);
  // A write past the file-size limit fails (and is undone) instead of
  // ending the program half-way through it.
  std::signal(SIGXFSZ, SIG_IGN);
  QApplication::setApplicationName("shell_rux");
  QApplication::setApplicationVersion(SHELLRUX_VERSION);
  QApplication::setWindowIcon(rux::AppIcon());
  // Lets the desktop match the window with its menu entry.
  QGuiApplication::setDesktopFileName("org.shellrux.shell_rux");
  rux::WidgetPrompts prompts;
  rux::InstallPrompts(&prompts);
  rux::ConsoleWindow console;
  rux::InstallConsole(&console);
  theApp.InitInstance();
  rux::InstallConsole(nullptr);
  rux::InstallPrompts(nullptr);
  return 0;
}
