// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
#include "cli/terminal_text.h"

namespace rux::cli {
namespace {

void AppendEscaped(std::string& out, unsigned code) {
  static const char kHex[] = "0123456789abcdef";
  out += "\\u00";
  out += kHex[code >> 4];
  out += kHex[code & 0xF];
}

}  // namespace

std::string TerminalSafe(std::string_view utf8, std::string_view keep) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    const bool c0OrDel = byte < 0x20 || byte == 0x7F;
    if (c0OrDel && keep.find(utf8[i]) == std::string_view::npos) {
      AppendEscaped(out, byte);
    } else if (byte == 0xC2 && i + 1 < utf8.size() &&
               (static_cast<unsigned char>(utf8[i + 1]) & 0xE0) == 0x80) {
      AppendEscaped(out, static_cast<unsigned char>(utf8[++i]));  // C1: U+0080 ... U+009F
    } else {
      out += utf8[i];
    }
  }
  return out;
}

}  // namespace rux::cli
