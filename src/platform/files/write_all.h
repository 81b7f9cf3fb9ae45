// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
#pragma once
// Writing a whole buffer to a file, through short writes and interruptions.
#include <cstdint>
#include <string_view>

namespace rux {

// Writes every byte at offset. 0 when all reached the file, else the
// system's error number (EIO when the file took none).
int WriteAllAt(int fd, std::uint64_t offset, std::string_view bytes);

}  // namespace rux
