// Stopping the application the driver updates, over the platform's process walk.
#include "UpGrade/process_operations.h"

#include <thread>

#include "platform/process.h"

// An updater asked to stop a program of its own name must not end itself
// halfway through the update, with an exit code that reads as success, nor
// then wait for itself: the calling process never counts as a match.
bool IsProcessRunning(const std::string& processName) {
  const std::uint32_t self = platform::CurrentProcessId();
  bool found = false;
  platform::WalkProcesses([&](const platform::ProcessEntry& entry) {
    found = entry.exeName == processName && entry.id != self;
    return !found;
  });
  return found;
}

namespace {

constexpr int kNeverForced = -1;

// Hands every process of that name but this one to `stop`; true when one was found.
bool StopEveryMatch(const std::string& processName, bool (*stop)(std::uint32_t)) {
  const std::uint32_t self = platform::CurrentProcessId();
  bool found = false;
  platform::WalkProcesses([&](const platform::ProcessEntry& entry) {
    if (entry.exeName == processName && entry.id != self) {
      found = true;
      // A process that cannot be opened, or has just ended, is left as it is.
      stop(entry.id);
    }
    return true;
  });
  return found;
}

// The forcing poll takes the place of one test, so the number of walks,
// and on Windows every call made, stays what the wait alone makes.
bool PollUntilStopped(const std::string& processName, int polls, std::chrono::milliseconds interval,
                      int forceAtPoll) {
  for (int poll = 0; poll < polls; ++poll) {
    const bool running = poll == forceAtPoll ? StopEveryMatch(processName, platform::ForceProcessToEnd)
                                             : IsProcessRunning(processName);
    if (!running) return true;
    std::this_thread::sleep_for(interval);
  }
  return false;
}

}  // namespace

bool KillProcessByName(const std::string& processName) {
  return StopEveryMatch(processName, platform::AskProcessToEnd);
}

void StopProcessByName(const std::string& processName) { KillProcessByName(processName); }

bool WaitUntilStopped(const std::string& processName, int polls, std::chrono::milliseconds interval) {
  return PollUntilStopped(processName, polls, interval, kNeverForced);
}

bool EnsureStopped(const std::string& processName, int polls, std::chrono::milliseconds interval,
                   int forceAtPoll) {
  return PollUntilStopped(processName, polls, interval, forceAtPoll);
}
