// A rename that never replaces what stands at its target, for the POSIX
// backends.
#pragma once

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>

namespace platform {

/// renameat2 with RENAME_NOREPLACE. Where the kernel has no such call
/// (before 3.15) or the file system no such flag (NFS, many FUSE file
/// systems: EINVAL), the target is looked at first and the entry renamed
/// after: an installation on such a volume still installs, with the gap
/// between the look and the rename that every rename had there before.
inline bool RenameNoReplace(int fromDir, const char* from, int toDir, const char* to) {
  if (renameat2(fromDir, from, toDir, to, RENAME_NOREPLACE) == 0) return true;
  if (errno != ENOSYS && errno != EINVAL) return false;
  struct stat status {};
  if (fstatat(toDir, to, &status, AT_SYMLINK_NOFOLLOW) == 0) {
    errno = EEXIST;
    return false;
  }
  return errno == ENOENT && renameat(fromDir, from, toDir, to) == 0;
}

}  // namespace platform
