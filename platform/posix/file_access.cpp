// POSIX backend of platform/file_access.h.
#include "platform/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
class ScopedFd {
 public:
  explicit ScopedFd(int fd) : fd_(fd) {}
  ~ScopedFd() {
    if (fd_ >= 0) close(fd_);
  }
  ScopedFd(const ScopedFd&) = delete;
  ScopedFd& operator=(const ScopedFd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};
}  // namespace

bool platform::CanOpenFileForReading(const char* path) {
  if (path == nullptr) return false;
  const ScopedFd fd(open(path, O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return false;
  // A directory opens for reading here but not on Windows; it is no file.
  struct stat status {};
  return fstat(fd.get(), &status) == 0 && !S_ISDIR(status.st_mode);
}
