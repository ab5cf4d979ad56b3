// One update at a time per installation: an exclusive hold that every
// process naming the same installation directory competes for.
#pragma once

#include <memory>
#include <string>

namespace platform {

class InstallLock {
 public:
  /// Waits up to `timeoutMs` milliseconds (0: one try) for the installation
  /// at `dstPath`; held() tells whether it was taken. A hold left by a killed
  /// process is released by the system and counts as free.
  InstallLock(const std::string& dstPath, unsigned timeoutMs);
  /// Releases the hold, if taken.
  ~InstallLock();
  InstallLock(const InstallLock&) = delete;
  InstallLock& operator=(const InstallLock&) = delete;

  bool held() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
