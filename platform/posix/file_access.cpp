// POSIX backend of platform/file_access.h.
#include "platform/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "platform/posix/unique_fd.h"

bool platform::CanOpenFileForReading(const char* path) {
  if (path == nullptr) return false;
  const platform::UniqueFd fd(open(path, O_RDONLY | O_CLOEXEC));
  if (!fd.ok()) return false;
  // A directory opens for reading here but not on Windows; it is no file.
  struct stat status {};
  return fstat(fd.get(), &status) == 0 && !S_ISDIR(status.st_mode);
}
