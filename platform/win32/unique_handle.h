// Windows backends only: ownership of one kernel handle.
#pragma once

#include <windows.h>

namespace platform {

/// Closes its handle when it goes; both null and INVALID_HANDLE_VALUE mean none.
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  HANDLE get() const { return handle_; }
  bool ok() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  /// Where a system call that makes a handle may store it; only while none is held.
  HANDLE* out() { return &handle_; }
  /// Gives the handle up without closing it.
  HANDLE release() {
    HANDLE handle = handle_;
    handle_ = nullptr;
    return handle;
  }
  /// Closes the handle now.
  void reset() {
    if (ok()) CloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace platform
