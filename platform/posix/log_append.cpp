// POSIX backend of platform/log_append.h: one write() per line on an
// O_APPEND descriptor. The kernel moves to the end and writes in one step,
// so lines of processes sharing the file neither tear nor overwrite each
// other; stdio could split a long line into two writes.
#include "platform/log_append.h"

#include <cerrno>
#include <climits>
#include <cstring>

#include <fcntl.h>

#include "platform/posix/unique_fd.h"

// The longest path the kernel takes; an updater in a deeper folder cannot
// read its own path, so it has no log root there either.
const std::size_t platform::kLongestLogPath = PATH_MAX;
const int platform::kLogPathTooLong = ENAMETOOLONG;

struct platform::LogAppend::Impl {
  explicit Impl(const char* path)
      : file(open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666)), error(file.ok() ? 0 : errno) {}
  UniqueFd file;
  int error;
};

platform::LogAppend::LogAppend(const char* path) : impl_(std::make_unique<Impl>(path)) {}
platform::LogAppend::~LogAppend() = default;

bool platform::LogAppend::ok() const { return impl_->file.ok(); }

bool platform::LogAppend::Write(const char* line) {
  const std::size_t length = std::strlen(line);
  const ssize_t written = write(impl_->file.get(), line, length);
  if (written >= 0 && static_cast<std::size_t>(written) == length) return true;
  // A write cut short sets no code: the volume ran out of room.
  impl_->error = written < 0 ? errno : ENOSPC;
  return false;
}

int platform::LogAppend::error() const { return impl_->error; }
