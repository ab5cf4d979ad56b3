// POSIX backend of platform/file_times.h.
#include "platform/file_times.h"

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include <sys/stat.h>

namespace {

constexpr std::time_t kNoTime = static_cast<std::time_t>(-1);

// The seconds of `dosDateTime` read as local time; kNoTime when it is no valid date.
std::time_t SecondsOf(std::uint32_t dosDateTime) {
  const std::uint32_t date = dosDateTime >> 16;
  const std::uint32_t time = dosDateTime & 0xFFFFu;
  std::tm local{};
  local.tm_year = static_cast<int>(date >> 9) + 80;
  local.tm_mon = static_cast<int>((date >> 5) & 0x0F) - 1;
  local.tm_mday = static_cast<int>(date & 0x1F);
  local.tm_hour = static_cast<int>(time >> 11);
  local.tm_min = static_cast<int>((time >> 5) & 0x3F);
  local.tm_sec = static_cast<int>(time & 0x1F) * 2;
  local.tm_isdst = -1;
  if (local.tm_hour > 23 || local.tm_min > 59 || local.tm_sec > 59) return kNoTime;

  // mktime rolls 31 February over into March; Windows refuses such a stamp.
  const std::tm wanted = local;
  const std::time_t seconds = std::mktime(&local);
  if (local.tm_year != wanted.tm_year || local.tm_mon != wanted.tm_mon || local.tm_mday != wanted.tm_mday) {
    return kNoTime;
  }
  return seconds;
}

// The entries of an archive mostly share a few stamps, and each mktime asks
// the file system whether the time zone has changed: the last answer is kept
// for as long as the stamp and the TZ setting stay the same.
std::time_t CachedSecondsOf(std::uint32_t dosDateTime) {
  struct Answer {
    std::uint32_t stamp = 0;
    bool zoneSet = false;
    std::string zone;
    std::time_t seconds = kNoTime;
  };
  thread_local std::optional<Answer> last;
  const char* zone = std::getenv("TZ");
  const bool sameQuestion = last && last->stamp == dosDateTime && last->zoneSet == (zone != nullptr) &&
                            (zone == nullptr || last->zone == zone);
  if (!sameQuestion) last = Answer{dosDateTime, zone != nullptr, zone == nullptr ? "" : zone, SecondsOf(dosDateTime)};
  return last->seconds;
}

}  // namespace

bool platform::StampFileFromDosTime(ExtractedFile& file, std::uint32_t dosDateTime) {
  const std::time_t seconds = CachedSecondsOf(dosDateTime);
  if (seconds == kNoTime) return false;
  timespec times[2] = {};
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = seconds;
  return futimens(static_cast<int>(file.NativeHandle()), times) == 0;
}
