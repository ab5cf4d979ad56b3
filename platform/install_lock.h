// One update at a time per installation: an exclusive hold that every
// process naming the same installation competes for, whatever the spelling
// of its path.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/install_hold.h"

namespace platform {

class InstallLock {
 public:
  /// Waits up to `timeoutMs` milliseconds (0: one try) for the installation
  /// at `dstPath`, calling `beforeWaiting` once when another run holds it
  /// and the wait begins; held() tells whether it was taken. On Windows the
  /// hold is a file named `lockFileName` in `dstPath`, gone when the hold
  /// ends. A hold left by a killed process is released by the system and
  /// counts as free.
  InstallLock(const std::string& dstPath, const std::string& lockFileName, unsigned timeoutMs,
              const std::function<void()>& beforeWaiting = {});
  /// Releases the hold, if taken.
  ~InstallLock();
  InstallLock(const InstallLock&) = delete;
  InstallLock& operator=(const InstallLock&) = delete;

  bool held() const { return attempt_ == HoldAttempt::kTaken; }
  /// Not held because another run held it to the end of the wait; otherwise
  /// the system refused the hold itself (an installation the run may not
  /// write), and nothing else can hold it through this run's means either.
  bool busy() const { return attempt_ == HoldAttempt::kBusy; }

 private:
  std::unique_ptr<InstallHold> hold_;
  HoldAttempt attempt_ = HoldAttempt::kRefused;
};

}  // namespace platform
