// shell_rux-cli: start-up only.
#include <QCoreApplication>
#include <csignal>
#include <fstream>
#include <iostream>

#include "cli/cli.h"

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  std::signal(SIGPIPE, SIG_IGN);
  // A write past the file-size limit fails (and is undone) instead of
  // ending the program half-way through it.
  std::signal(SIGXFSZ, SIG_IGN);
  std::vector<std::string> args(argv + 1, argv + argc);
  std::ifstream terminal("/dev/tty");
  return rux::cli::Run(args,
                       {std::cin, std::cout, std::cerr, terminal.is_open() ? &terminal : nullptr});
}
