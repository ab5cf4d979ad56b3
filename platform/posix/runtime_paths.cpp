// POSIX backend of platform/runtime_paths.h.
#include "platform/runtime_paths.h"

#include <sys/stat.h>
#include <unistd.h>

platform::PathKind platform::RuntimeStat(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) return PathKind::kMissing;
  if (S_ISDIR(status.st_mode)) return PathKind::kDirectory;
  if (S_ISREG(status.st_mode)) return PathKind::kRegularFile;
  return PathKind::kOther;
}

bool platform::RuntimeCanWrite(const std::string& path) { return access(path.c_str(), W_OK) == 0; }

// 0777 less the umask, as a Windows directory inherits its parent's access.
bool platform::RuntimeMakeDirectory(const std::string& path) { return mkdir(path.c_str(), 0777) == 0; }
