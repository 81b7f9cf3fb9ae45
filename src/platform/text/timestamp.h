#pragma once
// The time stamp of the logs, in English whatever the locale:
// "Fri Mar 01 09:05:07 2013\n" (local time, 25 characters with the line feed).
#include <ctime>
#include <functional>
#include <string>

namespace rux {

std::string TimeStamp(std::time_t when);

// The clock the jobs and the log read. Tests replace it.
using Clock = std::function<std::time_t()>;
std::time_t Now();
void SetClock(Clock clock);  // an empty clock restores the system clock

}  // namespace rux
