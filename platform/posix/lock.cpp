// POSIX backend of platform/lock.h.
#include "platform/lock.h"

#include <mutex>

struct platform::Lock::Impl {
  std::mutex mutex;
};

platform::Lock::Lock() : impl_(std::make_unique<Impl>()) {}
platform::Lock::~Lock() = default;
void platform::Lock::lock() { impl_->mutex.lock(); }
void platform::Lock::unlock() { impl_->mutex.unlock(); }
