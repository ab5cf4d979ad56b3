// POSIX backend of platform/extracted_file.h.
#include "platform/extracted_file.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/folder_handle.h"

namespace {

constexpr std::intptr_t kClosed = -1;

int Descriptor(std::intptr_t handle) { return static_cast<int>(handle); }

constexpr int kWriting = O_WRONLY | O_CLOEXEC | O_NOFOLLOW;

// Made only where nothing stands; a link at the name is told apart (ELOOP)
// from a file or folder there, and only a file is ever truncated.
int CreatedIn(int folder, const std::string& name, bool exclusive) {
  const int fd = openat(folder, name.c_str(), kWriting | O_CREAT | O_EXCL, 0666);
  if (fd >= 0 || errno != EEXIST) return fd;
  struct stat status {};
  if (fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(status.st_mode)) {
    errno = ELOOP;
    return -1;
  }
  if (exclusive) return -1;
  return openat(folder, name.c_str(), kWriting | O_TRUNC);
}

}  // namespace

// 0666 less the umask, as the C library creates files; the entry's own mode
// follows through file_mode.h.
platform::ExtractedFile::ExtractedFile(const std::string& path)
    : handle_(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666)) {}

platform::ExtractedFile::ExtractedFile(const FolderHandle& folder, const std::string& name, bool exclusive)
    : handle_(folder.ok() ? CreatedIn(Descriptor(folder.NativeHandle()), name, exclusive) : kClosed) {}

platform::ExtractedFile::~ExtractedFile() { Close(); }

bool platform::ExtractedFile::ok() const { return handle_ != kClosed; }

bool platform::ExtractedFile::Write(const char* bytes, std::size_t count) {
  while (count > 0) {
    const ssize_t put = write(Descriptor(handle_), bytes, count);
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes += put;
    count -= static_cast<std::size_t>(put);
  }
  return true;
}

bool platform::ExtractedFile::Close() {
  if (!ok()) return false;
  const int fd = Descriptor(handle_);
  handle_ = kClosed;
  return close(fd) == 0;
}
