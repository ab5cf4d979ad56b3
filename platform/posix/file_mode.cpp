// POSIX backend of platform/file_mode.h.
#include "platform/file_mode.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>

#include "platform/posix/unique_fd.h"

namespace {

constexpr std::uint32_t kMadeOnUnix = 3;
constexpr mode_t kDefaultMode = 0644;
constexpr mode_t kProgramMode = 0755;
constexpr mode_t kPermissionBits = 0777;
// The owner keeps reading and writing, as on Windows where an extracted file is
// never read-only, so the next extraction over it can replace it.
constexpr mode_t kOwnerReadWrite = 0600;
// Group and others never get write access from an archive: an installed
// program that any local user could replace would be theirs to run as us.
constexpr mode_t kOthersWrite = 0022;

// An archive made on Windows, or by a tool that stores no Unix mode, still
// ships programs: an ELF image, or a script naming its interpreter.
bool StartsAsProgram(std::string_view head) {
  return head.substr(0, 2) == "#!" || head.substr(0, 4) == std::string_view(
                                                               "\x7f"
                                                               "ELF",
                                                               4);
}

// Set-user-ID, set-group-ID and sticky bits are never taken from an archive.
mode_t ModeFromEntry(std::uint32_t versionMadeBy, std::uint32_t externalAttributes, std::string_view head) {
  if (((versionMadeBy >> 8) & 0xFF) != kMadeOnUnix) return StartsAsProgram(head) ? kProgramMode : kDefaultMode;
  const auto stored = static_cast<mode_t>(externalAttributes >> 16);
  const mode_t type = stored & S_IFMT;
  if ((type != 0 && type != S_IFREG) || (stored & kPermissionBits) == 0) return kDefaultMode;
  return ((stored & kPermissionBits) | kOwnerReadWrite) & ~kOthersWrite;
}

}  // namespace

bool platform::ApplyEntryMode(ExtractedFile& file, std::uint32_t versionMadeBy, std::uint32_t externalAttributes,
                              std::string_view firstBytes) {
  return fchmod(static_cast<int>(file.NativeHandle()), ModeFromEntry(versionMadeBy, externalAttributes, firstBytes)) ==
         0;
}

bool platform::CopyPermissionBits(const std::string& model, const std::string& path) {
  struct stat status {};
  if (stat(model.c_str(), &status) != 0) return false;
  if (!S_ISREG(status.st_mode)) {
    errno = EINVAL;
    return false;
  }
  const mode_t bits = status.st_mode & kPermissionBits;
  // Most files of an update already have the bits: one status query, not an
  // open, a change and a close. A link is never followed, so it goes on to fail.
  struct stat current {};
  if (lstat(path.c_str(), &current) == 0 && S_ISREG(current.st_mode) && (current.st_mode & kPermissionBits) == bits) {
    return true;
  }
  UniqueFd file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  return file.ok() && fchmod(file.get(), bits) == 0;
}
