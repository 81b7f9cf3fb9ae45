// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
#pragma once
#include <optional>

namespace rux {

// The windowed program's own flags, --help (-h), --help-all and --version
// (-v): answered on standard output before any window or display is needed.
// The exit status when one was given (an unknown option beside it is an
// error); nothing when the program is to start its window. Other arguments
// are left to the toolkit.
std::optional<int> AnswerProgramFlags(int argc, char** argv);

}  // namespace rux
