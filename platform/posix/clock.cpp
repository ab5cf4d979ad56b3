// POSIX backend of platform/clock.h.
#include "platform/clock.h"

#include <time.h>

namespace {
// 1601-01-01 to 1970-01-01 in 100-ns ticks, so both backends share an epoch.
constexpr std::uint64_t kUnixEpochTicks = 116444736000000000ULL;
}  // namespace

std::uint64_t platform::SystemTimeTicks() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  return kUnixEpochTicks + static_cast<std::uint64_t>(ts.tv_sec) * 10000000ULL +
         static_cast<std::uint64_t>(ts.tv_nsec) / 100;
}

std::tm platform::LocalTime(std::int64_t secondsSince1970) {
  std::tm local{};
  const time_t seconds = static_cast<time_t>(secondsSince1970);
  // On overflow the fields may be half written: report zeros instead.
  if (localtime_r(&seconds, &local) == nullptr) return std::tm{};
  return local;
}
