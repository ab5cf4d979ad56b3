// Windows backend of platform/disk_space.h.
#include "platform/disk_space.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

std::optional<std::uint64_t> platform::FreeBytesOf(const std::string& path) {
  ULARGE_INTEGER available{};
  if (!GetDiskFreeSpaceExW(WidePath(path).c_str(), &available, /*lpTotalNumberOfBytes=*/nullptr,
                           /*lpTotalNumberOfFreeBytes=*/nullptr)) {
    return std::nullopt;
  }
  return available.QuadPart;
}
