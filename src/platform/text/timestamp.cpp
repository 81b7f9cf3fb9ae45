#include "platform/text/timestamp.h"

#include <array>
#include <utility>

namespace rux {
namespace {

constexpr std::array<const char*, 7> kWeekdays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

void AppendDigits(std::string& out, long long value, int width) {
  if (value < 0) {
    out += '-';
    value = -value;
  }
  std::string digits;
  for (int i = 0; i < width || value > 0; ++i) {
    digits.insert(digits.begin(), static_cast<char>('0' + value % 10));
    value /= 10;
  }
  out += digits;
}

Clock& CurrentClock() {
  static Clock clock;
  return clock;
}

}  // namespace

std::string TimeStamp(std::time_t when) {
  std::tm local{};
  if (localtime_r(&when, &local) == nullptr) return "??? ??? 00 00:00:00 0000\n";
  std::string out;
  out.reserve(25);
  out += kWeekdays[local.tm_wday % 7];
  out += ' ';
  out += kMonths[local.tm_mon % 12];
  out += ' ';
  AppendDigits(out, local.tm_mday, 2);
  out += ' ';
  AppendDigits(out, local.tm_hour, 2);
  out += ':';
  AppendDigits(out, local.tm_min, 2);
  out += ':';
  AppendDigits(out, local.tm_sec, 2);
  out += ' ';
  AppendDigits(out, local.tm_year + 1900LL, 4);
  out += '\n';
  return out;
}

std::time_t Now() {
  const Clock& clock = CurrentClock();
  return clock ? clock() : std::time(nullptr);
}

void SetClock(Clock clock) { CurrentClock() = std::move(clock); }

}  // namespace rux
