// One update at a time per installation: an exclusive hold that every
// process naming the same installation competes for, whatever the spelling
// of its path.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/install_hold.h"

namespace platform {

/// Linux, where the installation's file system has no locks: the hold is
/// the file named as the lock file with this ending, made exclusively.
constexpr const char kLockHeldSuffix[] = ".held";

class InstallLock {
 public:
  /// Waits up to `timeoutMs` milliseconds (0: one try) for the installation
  /// at `dstPath`, calling `beforeWaiting` once when another run holds it
  /// and the wait begins; held() tells whether it was taken. The hold is on
  /// the file named `lockFileName` in `dstPath`, never reached through a
  /// link (on Windows gone when the hold ends). A hold left by a killed
  /// process is released by the system and counts as free.
  InstallLock(const std::string& dstPath, const std::string& lockFileName, unsigned timeoutMs,
              const std::function<void()>& beforeWaiting = {});
  /// Releases the hold, if taken.
  ~InstallLock();
  InstallLock(const InstallLock&) = delete;
  InstallLock& operator=(const InstallLock&) = delete;

  bool held() const { return attempt_ == HoldAttempt::kTaken; }
  /// Not held because another run held it to the end of the wait; otherwise
  /// the system refused the hold itself (a folder or a link at the lock
  /// file's name, an installation the run may not write, a file system that
  /// refuses both kinds of hold).
  bool busy() const { return attempt_ == HoldAttempt::kBusy; }
  /// Not held because a link of any kind stands at the lock file's name.
  bool linked() const { return attempt_ == HoldAttempt::kLinked; }
  /// The system's code when it refused the hold itself.
  int error() const { return error_; }

 private:
  std::unique_ptr<InstallHold> hold_;
  HoldAttempt attempt_ = HoldAttempt::kRefused;
  int error_ = 0;
};

}  // namespace platform
