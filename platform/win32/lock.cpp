// Windows backend of platform/lock.h: a critical section.
#include "platform/lock.h"

#include <windows.h>

struct platform::Lock::Impl {
  CRITICAL_SECTION section;
};

platform::Lock::Lock() : impl_(std::make_unique<Impl>()) { InitializeCriticalSection(&impl_->section); }
platform::Lock::~Lock() { DeleteCriticalSection(&impl_->section); }
void platform::Lock::lock() { EnterCriticalSection(&impl_->section); }
void platform::Lock::unlock() { LeaveCriticalSection(&impl_->section); }
