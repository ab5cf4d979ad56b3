// POSIX backend of platform/log_append.h: one write() per line on an
// O_APPEND descriptor. The kernel moves to the end and writes in one step,
// so lines of processes sharing the file neither tear nor overwrite each
// other; stdio could split a long line into two writes.
#include "platform/log_append.h"

#include <cstring>

#include <fcntl.h>

#include "platform/posix/unique_fd.h"

const std::size_t platform::kLongestLogPath = 260;

struct platform::LogAppend::Impl {
  explicit Impl(const char* path) : file(open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666)) {}
  UniqueFd file;
};

platform::LogAppend::LogAppend(const char* path) : impl_(std::make_unique<Impl>(path)) {}
platform::LogAppend::~LogAppend() = default;

bool platform::LogAppend::ok() const { return impl_->file.ok(); }

void platform::LogAppend::Write(const char* line) {
  const ssize_t ignored = write(impl_->file.get(), line, std::strlen(line));
  static_cast<void>(ignored);
}
