// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
#include "app/program_flags.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <string_view>

namespace rux {

std::optional<int> AnswerProgramFlags(int argc, char** argv) {
  bool asked = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    asked = asked || arg == "-h" || arg == "--help" || arg == "--help-all" || arg == "-v" ||
            arg == "--version";
  }
  if (!asked) return std::nullopt;
  QCoreApplication core(argc, argv);
  QCoreApplication::setApplicationName("shell_rux");
  QCoreApplication::setApplicationVersion(SHELLRUX_VERSION);
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Desktop front end for the rux4.exe file cipher: keeps Key Books of Master Keys\n"
      "and encodes and decodes files with them. Without options it opens its window.");
  parser.addHelpOption();
  parser.addVersionOption();
  parser.process(core);  // prints the help or the version and ends the program
  return 0;
}

}  // namespace rux
