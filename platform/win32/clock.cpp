// Windows backend of platform/clock.h.
#include "platform/clock.h"

#include <windows.h>

std::uint64_t platform::SystemTimeTicks() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return (std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
}

std::tm platform::LocalTime(std::int64_t secondsSince1970) {
  std::tm local{};
  const __time64_t seconds = secondsSince1970;
  // A failed conversion sets every field to -1: report zeros instead.
  if (_localtime64_s(&local, &seconds) != 0) return std::tm{};
  return local;
}
