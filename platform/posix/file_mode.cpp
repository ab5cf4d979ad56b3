// POSIX backend of platform/file_mode.h.
#include "platform/file_mode.h"

#include <sys/stat.h>

namespace {

constexpr std::uint32_t kMadeOnUnix = 3;
constexpr mode_t kDefaultMode = 0644;
constexpr mode_t kPermissionBits = 0777;
// The owner keeps reading and writing, as on Windows where an extracted file is
// never read-only, so the next extraction over it can replace it.
constexpr mode_t kOwnerReadWrite = 0600;
// Group and others never get write access from an archive: an installed
// program that any local user could replace would be theirs to run as us.
constexpr mode_t kOthersWrite = 0022;

// Set-user-ID, set-group-ID and sticky bits are never taken from an archive;
// a symbolic link's entry is written as a plain file and gets the default.
mode_t ModeFromEntry(std::uint32_t versionMadeBy, std::uint32_t externalAttributes) {
  if (((versionMadeBy >> 8) & 0xFF) != kMadeOnUnix) return kDefaultMode;
  const auto stored = static_cast<mode_t>(externalAttributes >> 16);
  const mode_t type = stored & S_IFMT;
  if ((type != 0 && type != S_IFREG) || (stored & kPermissionBits) == 0) return kDefaultMode;
  return ((stored & kPermissionBits) | kOwnerReadWrite) & ~kOthersWrite;
}

}  // namespace

bool platform::ApplyEntryMode(ExtractedFile& file, std::uint32_t versionMadeBy,
                              std::uint32_t externalAttributes) {
  return fchmod(static_cast<int>(file.NativeHandle()), ModeFromEntry(versionMadeBy, externalAttributes)) == 0;
}
