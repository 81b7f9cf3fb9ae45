#pragma once
// The encode and decode jobs: one procedure, run with the texts of its mode.
//
// The job escapes the parameters, asks for confirmation, opens the console,
// checks the mandatory values, fills in the defaults, logs a header, runs the
// engine and waits for it, then reports the outcome and, when the job has
// one, its error number: the operating system's when the engine could not be
// started, or the engine's exit status when it ended with another than 0
// (128 + the signal number when it was stopped or killed).
#include "engine/job_window.h"

namespace rux {

enum class JobMode { Encode, Decode };

struct JobResult {
  bool ok = false;      // the engine ran and ended with status 0
  int errorNumber = 0;  // the job's own error number; 0 when it has none
};

// Cancelled or stopped by an empty mandatory value: neither ok nor an error number.
JobResult EngineJob(JobWindow& window, JobMode mode);

}  // namespace rux
