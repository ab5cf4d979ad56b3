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

bool KillProcessByName(const std::string& processName) {
  const std::uint32_t self = platform::CurrentProcessId();
  bool found = false;
  platform::WalkProcesses([&](const platform::ProcessEntry& entry) {
    if (entry.exeName == processName && entry.id != self) {
      found = true;
      // A process that cannot be opened, or has just ended, is left as it is.
      platform::TerminateProcessById(entry.id);
    }
    return true;
  });
  return found;
}

void StopProcessByName(const std::string& processName) { KillProcessByName(processName); }

bool WaitUntilStopped(const std::string& processName, int polls, std::chrono::milliseconds interval) {
  for (int poll = 0; poll < polls; ++poll) {
    if (!IsProcessRunning(processName)) return true;
    std::this_thread::sleep_for(interval);
  }
  return false;
}
