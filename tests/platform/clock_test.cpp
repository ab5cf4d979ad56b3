// The clock's promise on both systems: one epoch, local calendar conversion.
#include "platform/clock.h"

#include <chrono>

#include <gtest/gtest.h>

TEST(Clock, TicksCountFrom1601) {
  const auto unixSeconds =
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
  const auto tickSeconds = static_cast<long long>(platform::SystemTimeTicks() / 10000000ULL) - 11644473600LL;
  EXPECT_NEAR(static_cast<double>(tickSeconds), static_cast<double>(unixSeconds), 2.0);
}

TEST(Clock, LocalTimeGivesACalendarDate) {
  const std::tm when = platform::LocalTime(1720000000);  // 2024-07-03 09:46:40 UTC
  EXPECT_EQ(when.tm_year, 124);
  EXPECT_EQ(when.tm_mon, 6);
  EXPECT_GE(when.tm_mday, 2);
  EXPECT_LE(when.tm_mday, 4);
}
