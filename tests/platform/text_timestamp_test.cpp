// The log time stamp: English names, local time, whatever the locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <ctime>

#include "platform/text/timestamp.h"

namespace rux {
namespace {

void SetTimeZone(const char* zone) {
  ::setenv("TZ", zone, 1);
  ::tzset();
}

TEST(TimeStamp, EnglishNamesAndFixedWidthsInLocalTimeWhateverTheLocale) {
  constexpr std::time_t kFirstMarch2013 = 1362128707;  // Fri 2013-03-01 09:05:07 UTC
  SetTimeZone("UTC0");
  EXPECT_EQ(TimeStamp(0), "Thu Jan 01 00:00:00 1970\n");
  EXPECT_EQ(TimeStamp(951782400), "Tue Feb 29 00:00:00 2000\n");
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  std::setlocale(LC_ALL, "de_DE.UTF-8");  // where the system has it
  const std::string stamp = TimeStamp(kFirstMarch2013);
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_EQ(stamp, "Fri Mar 01 09:05:07 2013\n");
  SetTimeZone("XYZ-3");  // three hours ahead of UTC
  EXPECT_EQ(TimeStamp(kFirstMarch2013), "Fri Mar 01 12:05:07 2013\n");
  SetTimeZone("XYZ+10");  // ten hours behind
  EXPECT_EQ(TimeStamp(kFirstMarch2013), "Thu Feb 28 23:05:07 2013\n");
  ::unsetenv("TZ");
  ::tzset();
}

}  // namespace
}  // namespace rux
