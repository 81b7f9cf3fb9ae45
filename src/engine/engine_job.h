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

void EngineJob(JobWindow& window, JobMode mode);

}  // namespace rux
