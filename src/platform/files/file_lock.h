// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The shell_rux developers
#pragma once
// Advisory locks on whole files between programs (flock): many readers or
// one writer. A lock belongs to the open file it was taken on and goes when
// that file is closed, also when the program is killed.
#include <chrono>

namespace rux {

enum class LockKind { Shared, Exclusive };

// How long a lock is waited for before the file counts as in use.
constexpr std::chrono::milliseconds kLockPatience{5000};

// Waits for the lock on the open file fd. 0 when it is held; EWOULDBLOCK when
// another program held the file longer than the patience; else the system's
// error number.
int LockFile(int fd, LockKind kind);

// Shortens or lengthens the wait of LockFile while it lives.
class LockPatience {
 public:
  explicit LockPatience(std::chrono::milliseconds patience);
  ~LockPatience();
  LockPatience(const LockPatience&) = delete;
  LockPatience& operator=(const LockPatience&) = delete;

 private:
  std::chrono::milliseconds saved_;
};

}  // namespace rux
