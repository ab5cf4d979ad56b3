// Finding and stopping processes by the file name of their executable.
#include "util/process_control.h"

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

bool TerminateProcessesNamed(const std::string& processName) {
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

void StopProcessByName(const std::string& processName) { TerminateProcessesNamed(processName); }
