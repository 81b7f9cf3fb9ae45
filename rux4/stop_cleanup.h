#pragma once
// Files to remove when the engine is stopped by a signal (the front end's stop
// sends SIGTERM). The handler only calls unlink, so it is safe in a signal.
#include <signal.h>

namespace rux4 {

// Remembers a path (copied) until released; returns its slot, or -1 when the
// path is too long or all slots are taken. Call with the stop signals blocked
// between creating the file and registering it (see StopSignalsBlocked).
int RegisterForRemoval(const char* path);
void ReleaseRemoval(int slot);

// SIGTERM, SIGINT, SIGHUP: remove the registered files, then end by the same
// signal. SIGPIPE and SIGXFSZ are ignored, so a closed console or a file-size
// limit become ordinary write errors instead of killing the engine mid-file.
void InstallStopHandlers();

// Holds the stop signals back while it lives.
class StopSignalsBlocked {
 public:
  StopSignalsBlocked();
  ~StopSignalsBlocked();
  StopSignalsBlocked(const StopSignalsBlocked&) = delete;
  StopSignalsBlocked& operator=(const StopSignalsBlocked&) = delete;

 private:
  sigset_t saved_;
};

}  // namespace rux4
