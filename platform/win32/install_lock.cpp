// Windows backend of platform/install_lock.h: a named mutex derived from the
// installation's full path; the system releases it when its owner dies.
#include "platform/install_lock.h"

#include <windows.h>

#include "platform/win32/kernel_object_name.h"
#include "platform/win32/unique_handle.h"

struct platform::InstallLock::Impl {
  explicit Impl(const std::string& dstPath)
      : mutex(CreateMutexW(/*lpMutexAttributes=*/nullptr, /*bInitialOwner=*/FALSE,
                           KernelObjectName("update-install", dstPath).c_str())) {}
  ~Impl() {
    if (held) ReleaseMutex(mutex.get());
  }
  UniqueHandle mutex;
  bool held = false;
};

platform::InstallLock::InstallLock(const std::string& dstPath, unsigned timeoutMs)
    : impl_(std::make_unique<Impl>(dstPath)) {
  impl_->held = impl_->mutex.ok() && TakeMutex(impl_->mutex.get(), timeoutMs);
}

platform::InstallLock::~InstallLock() = default;

bool platform::InstallLock::held() const { return impl_->held; }
