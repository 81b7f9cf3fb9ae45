// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
#pragma once
// What the command line prints from Key Books, configurations and the
// engine, made safe for a terminal: every control character (C0, DEL and
// C1) is written as JSON writes it, ESC as \u001b, so no text a file holds
// can move the cursor, retitle or clear the terminal.
#include <string>
#include <string_view>

namespace rux::cli {

// The UTF-8 text with its control characters escaped, except those in keep
// (the line feeds of a text of several lines).
std::string TerminalSafe(std::string_view utf8, std::string_view keep = {});

}  // namespace rux::cli
