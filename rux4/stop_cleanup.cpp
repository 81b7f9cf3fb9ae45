#include "stop_cleanup.h"

#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstring>

namespace rux4 {

namespace {

constexpr int SLOT_COUNT = 4;
constexpr int STOP_SIGNALS[] = {SIGTERM, SIGINT, SIGHUP};

struct Slot {
  volatile sig_atomic_t used;
  char path[PATH_MAX];
};
Slot slots[SLOT_COUNT];

sigset_t StopSignalSet() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal : STOP_SIGNALS) sigaddset(&set, signal);
  return set;
}

void OnStopSignal(int signal) {
  for (Slot& slot : slots) {
    if (slot.used) unlink(slot.path);
  }
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigaction(signal, &fallback, nullptr);
  raise(signal);  // delivered when this handler returns, with the default action
}

}  // namespace

int RegisterForRemoval(const char* path) {
  if (std::strlen(path) >= PATH_MAX) return -1;
  for (int i = 0; i < SLOT_COUNT; ++i) {
    if (!slots[i].used) {
      std::strcpy(slots[i].path, path);
      std::atomic_signal_fence(std::memory_order_seq_cst);  // path complete before used
      slots[i].used = 1;
      return i;
    }
  }
  return -1;
}

void ReleaseRemoval(int slot) {
  if (slot >= 0 && slot < SLOT_COUNT) slots[slot].used = 0;
}

void InstallStopHandlers() {
  struct sigaction stop {};
  stop.sa_handler = OnStopSignal;
  stop.sa_mask = StopSignalSet();
  for (int signal : STOP_SIGNALS) sigaction(signal, &stop, nullptr);
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &ignore, nullptr);
  sigaction(SIGXFSZ, &ignore, nullptr);
}

StopSignalsBlocked::StopSignalsBlocked() {
  sigset_t set = StopSignalSet();
  sigprocmask(SIG_BLOCK, &set, &saved_);
}

StopSignalsBlocked::~StopSignalsBlocked() { sigprocmask(SIG_SETMASK, &saved_, nullptr); }

}  // namespace rux4
