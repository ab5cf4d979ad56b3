// Wall-clock time in one unit for both systems, and its local calendar form.
#pragma once

#include <cstdint>
#include <ctime>

namespace platform {

/// Current UTC time in 100-ns ticks since 1601-01-01.
std::uint64_t SystemTimeTicks();

/// `secondsSince1970` as local broken-down time (thread-safe); zero-filled
/// when it cannot be converted: it only stamps log lines and names log files.
std::tm LocalTime(std::int64_t secondsSince1970);

}  // namespace platform
