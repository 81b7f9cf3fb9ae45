// The log time stamp: English names, local time, whatever the locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <ctime>

#include "platform/text/timestamp.h"

namespace rux {
namespace {

// Sets the time zone for the life of the object.
class TimeZone {
 public:
  explicit TimeZone(const char* zone) {
    if (const char* saved = std::getenv("TZ")) saved_ = saved, hadZone_ = true;
    ::setenv("TZ", zone, 1);
    ::tzset();
  }
  ~TimeZone() {
    if (hadZone_) {
      ::setenv("TZ", saved_.c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }

 private:
  std::string saved_;
  bool hadZone_ = false;
};

constexpr std::time_t kFirstMarch2013 = 1362128707;  // Fri 2013-03-01 09:05:07 UTC

TEST(TimeStamp, EnglishNamesAndFixedWidths) {
  TimeZone utc("UTC0");
  EXPECT_EQ(TimeStamp(kFirstMarch2013), "Fri Mar 01 09:05:07 2013\n");
  EXPECT_EQ(TimeStamp(0), "Thu Jan 01 00:00:00 1970\n");
  EXPECT_EQ(TimeStamp(kFirstMarch2013 + 86400 * 2 + 3600 * 14), "Sun Mar 03 23:05:07 2013\n");
  EXPECT_EQ(TimeStamp(951782400), "Tue Feb 29 00:00:00 2000\n");
  EXPECT_EQ(TimeStamp(kFirstMarch2013).size(), 25u);
}

TEST(TimeStamp, LocalTime) {
  TimeZone east("XYZ-3");  // three hours ahead of UTC
  EXPECT_EQ(TimeStamp(kFirstMarch2013), "Fri Mar 01 12:05:07 2013\n");
  TimeZone west("XYZ+10");  // ten hours behind
  EXPECT_EQ(TimeStamp(kFirstMarch2013), "Thu Feb 28 23:05:07 2013\n");
}

TEST(TimeStamp, SameUnderAnotherLocale) {
  TimeZone utc("UTC0");
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "fr_FR.UTF-8")) {
    GTEST_SKIP() << "no German or French locale on this system";
  }
  const std::string stamp = TimeStamp(kFirstMarch2013);
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_EQ(stamp, "Fri Mar 01 09:05:07 2013\n");
}

TEST(Clock, TestsCanSetTheTime) {
  SetClock([] { return kFirstMarch2013; });
  EXPECT_EQ(Now(), kFirstMarch2013);
  SetClock(nullptr);
  const std::time_t before = std::time(nullptr);
  const std::time_t now = Now();
  EXPECT_GE(now, before);
  EXPECT_LE(now, std::time(nullptr));
}

}  // namespace
}  // namespace rux
