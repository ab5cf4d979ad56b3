// Bounded retries of steps refused on a held file.
#include "install/held_retry.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

#include "platform/system_error.h"
#include "util/test_bound.h"

namespace {

constexpr unsigned kFirstPauseMs = 50;
constexpr unsigned kLongestPauseMs = 1000;

// The run's time for waiting, shared by every step and thread.
class HeldBudget {
 public:
  static HeldBudget& Run() {
    static HeldBudget budget;
    return budget;
  }

  // Takes up to `wantedMs` from what is left; 0 when nothing is.
  unsigned Take(unsigned wantedMs) {
    const std::lock_guard<std::mutex> lock(mutex_);
    const unsigned granted = std::min(wantedMs, leftMs_);
    leftMs_ -= granted;
    return granted;
  }

  void Note(HeldWait wait) {
    const std::lock_guard<std::mutex> lock(mutex_);
    waits_.push_back(std::move(wait));
  }

  std::vector<HeldWait> TakeWaits() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return std::move(waits_);
  }

 private:
  HeldBudget() : leftMs_(BoundForTests("HELD", kHeldBoundMs)) {}

  std::mutex mutex_;
  unsigned leftMs_;
  std::vector<HeldWait> waits_;
};

}  // namespace

bool RetryWhileHeld(const std::string& path, const std::function<bool()>& step) {
  unsigned waitedMs = 0;
  unsigned pauseMs = kFirstPauseMs;
  bool done = step();
  int error = done ? 0 : platform::LastSystemError();
  while (!done && platform::IsHeldError(error, path)) {
    const unsigned granted = HeldBudget::Run().Take(pauseMs);
    if (granted == 0) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(granted));
    waitedMs += granted;
    pauseMs = std::min(pauseMs * 2, kLongestPauseMs);
    done = step();
    if (!done) error = platform::LastSystemError();
  }
  if (waitedMs != 0) HeldBudget::Run().Note({path, error, waitedMs});
  if (!done) platform::SetLastSystemError(error);
  return done;
}

std::vector<HeldWait> TakeHeldWaits() { return HeldBudget::Run().TakeWaits(); }
