// POSIX backend of platform/file_times.h.
#include "platform/file_times.h"

#include <ctime>

#include <sys/stat.h>

bool platform::StampFileFromDosTime(ExtractedFile& file, std::uint32_t dosDateTime) {
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
  if (local.tm_hour > 23 || local.tm_min > 59 || local.tm_sec > 59) return false;

  // mktime rolls 31 February over into March; Windows refuses such a stamp.
  const std::tm wanted = local;
  const std::time_t seconds = std::mktime(&local);
  if (seconds == static_cast<std::time_t>(-1) || local.tm_year != wanted.tm_year ||
      local.tm_mon != wanted.tm_mon || local.tm_mday != wanted.tm_mday) {
    return false;
  }

  timespec times[2] = {};
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = seconds;
  return futimens(static_cast<int>(file.NativeHandle()), times) == 0;
}
