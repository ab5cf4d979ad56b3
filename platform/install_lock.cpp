// The installation lock's wait, the same on both systems: the hold is tried
// again every few milliseconds, since neither a file opened without sharing
// nor a flock can be waited for with a time limit.
#include "platform/install_lock.h"

#include <chrono>
#include <thread>

#include "platform/system_error.h"

platform::InstallLock::InstallLock(const std::string& dstPath, const std::string& lockFileName, unsigned timeoutMs,
                                   const std::function<void()>& beforeWaiting)
    : hold_(InstallHold::Create(dstPath, lockFileName)) {
  attempt_ = hold_->tryTake();
  if (attempt_ == HoldAttempt::kRefused || attempt_ == HoldAttempt::kLinked) error_ = LastSystemError();
  if (attempt_ != HoldAttempt::kBusy || timeoutMs == 0) return;
  if (beforeWaiting) beforeWaiting();
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (attempt_ == HoldAttempt::kBusy && std::chrono::steady_clock::now() < giveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    attempt_ = hold_->tryTake();
  }
}

platform::InstallLock::~InstallLock() = default;
