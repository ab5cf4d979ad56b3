// POSIX backend of tests/support/pinned_file.h: the immutable attribute.
#include "tests/support/pinned_file.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace testing_support {

struct PinnedFile::Impl {
  int fd = -1;
  bool pinned = false;
};

PinnedFile::PinnedFile(const std::string& path) : impl_(std::make_unique<Impl>()) {
  impl_->fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  int flags = 0;
  if (impl_->fd < 0 || ioctl(impl_->fd, FS_IOC_GETFLAGS, &flags) != 0) return;
  flags |= FS_IMMUTABLE_FL;
  impl_->pinned = ioctl(impl_->fd, FS_IOC_SETFLAGS, &flags) == 0;
}

PinnedFile::~PinnedFile() {
  int flags = 0;
  if (impl_->pinned && ioctl(impl_->fd, FS_IOC_GETFLAGS, &flags) == 0) {
    flags &= ~FS_IMMUTABLE_FL;
    ioctl(impl_->fd, FS_IOC_SETFLAGS, &flags);
  }
  if (impl_->fd >= 0) close(impl_->fd);
}

bool PinnedFile::ok() const { return impl_->pinned; }

}  // namespace testing_support
