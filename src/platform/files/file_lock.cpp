// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
#include "platform/files/file_lock.h"

#include <sys/file.h>

#include <algorithm>
#include <cerrno>
#include <thread>

namespace rux {
namespace {

std::chrono::milliseconds g_patience = kLockPatience;

}  // namespace

int LockFile(int fd, LockKind kind) {
  const int operation = (kind == LockKind::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB;
  const auto deadline = std::chrono::steady_clock::now() + g_patience;
  // Writers hold a lock for one record or one file: milliseconds. Short
  // pauses at first, longer ones while the holder takes its time.
  std::chrono::microseconds pause{200};
  for (;;) {
    if (::flock(fd, operation) == 0) return 0;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) return errno;
    if (std::chrono::steady_clock::now() >= deadline) return EWOULDBLOCK;
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::microseconds{20000});
  }
}

LockPatience::LockPatience(std::chrono::milliseconds patience) : saved_(g_patience) {
  g_patience = patience;
}

LockPatience::~LockPatience() { g_patience = saved_; }

}  // namespace rux
