// Steps refused because another program holds a file for a moment (a virus
// scanner reading a file just written, the search indexer, a backup agent)
// are tried again for a while instead of costing the update.
#pragma once

#include <functional>
#include <string>
#include <vector>

/// The most the whole run waits for held files, all paths together; tests
/// may shorten it through UPDATE_TEST_BOUND_HELD_MS.
constexpr unsigned kHeldBoundMs = 10 * 1000;

/// A path the run waited for: the system's code of its last refusal, and how long.
struct HeldWait {
  std::string path;
  int error = 0;
  unsigned waitedMs = 0;
};

/// Runs `step`, which acts on `path`; while it fails because another program
/// holds the path (platform::IsHeldError), it runs again after pauses
/// growing from 50 ms to 1 s, as long as the run's bound has time left.
/// The last run's answer, LastSystemError() as that run left it. A step that
/// has another way (a folder moved entry by entry) is not given here.
bool RetryWhileHeld(const std::string& path, const std::function<bool()>& step);

/// The paths waited for since the last call, in the order the waits ended.
std::vector<HeldWait> TakeHeldWaits();
