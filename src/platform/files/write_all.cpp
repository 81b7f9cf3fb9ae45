// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
#include "platform/files/write_all.h"

#include <unistd.h>

#include <cerrno>

namespace rux {

int WriteAllAt(int fd, std::uint64_t offset, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put =
        ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return errno;
    if (put == 0) return EIO;
    done += static_cast<std::size_t>(put);
  }
  return 0;
}

}  // namespace rux
