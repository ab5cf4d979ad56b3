// POSIX backend of platform/install_lock.h: flock on the installation
// directory's own descriptor, so no lock file can be cleared or forged.
#include "platform/install_lock.h"

#include <cerrno>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>

#include "platform/posix/unique_fd.h"

struct platform::InstallLock::Impl {
  // Close-on-exec: the relaunched application must not inherit the hold.
  explicit Impl(const std::string& dstPath)
      : directory(open(dstPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
  UniqueFd directory;
  bool held = false;
};

platform::InstallLock::InstallLock(const std::string& dstPath, unsigned timeoutMs)
    : impl_(std::make_unique<Impl>(dstPath)) {
  if (!impl_->directory.ok()) return;
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (flock(impl_->directory.get(), LOCK_EX | LOCK_NB) == 0) {
      impl_->held = true;
      return;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) return;
    if (std::chrono::steady_clock::now() >= giveUp) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

// Closing the descriptor releases the flock.
platform::InstallLock::~InstallLock() = default;

bool platform::InstallLock::held() const { return impl_->held; }
