// POSIX backend of platform/disk_space.h.
#include "platform/disk_space.h"

#include <sys/statvfs.h>

std::optional<std::uint64_t> platform::FreeBytesOf(const std::string& path) {
  struct statvfs volume {};
  if (statvfs(path.c_str(), &volume) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(volume.f_bavail) * volume.f_frsize;
}
