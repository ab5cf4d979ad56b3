// Stopping the application the driver updates, over the platform's process walk.
#include "UpGrade/process_operations.h"

#include <functional>
#include <thread>

#include "UpGrade/installed_program.h"
#include "UpGrade/log_lines.h"
#include "UpGrade/updater_copy.h"
#include "log/log.h"
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

// Looks for the processes a wait is about; with `force`, also ends at once
// every one it finds. True when one was found.
using Look = std::function<bool(bool force)>;

// The forcing poll takes the place of one test, so the number of walks
// stays what the wait alone makes.
bool PollUntilStopped(const Look& look, int polls, std::chrono::milliseconds interval, int forceAtPoll) {
  for (int poll = 0; poll < polls; ++poll) {
    if (!look(poll == forceAtPoll)) return true;
    std::this_thread::sleep_for(interval);
  }
  return false;
}

Look ByName(const std::string& processName) {
  return [&processName](bool force) {
    return force ? StopEveryMatch(processName, platform::ForceProcessToEnd) : IsProcessRunning(processName);
  };
}

bool RunsInstalledProgram(const platform::OpenedProcess& process, const std::string& exeName,
                          const std::string& dstPath) {
  for (const std::string& file : process.ProgramFiles()) {
    if (IsInstalledProgram(file, exeName, dstPath)) return true;
  }
  return false;
}

// Hands every process of the installed application, opened, to `act` until
// it returns false; true when one was found. A process that cannot be
// opened, or whose program cannot be read, is not the application's, and
// neither is an updater: another run waiting for this one's lock, started
// beside the application, must live to install its own update.
bool ForEachInstalled(const std::string& exeName, const std::string& dstPath,
                      const std::function<bool(platform::OpenedProcess&)>& act) {
  const std::uint32_t self = platform::CurrentProcessId();
  bool found = false;
  platform::WalkProcesses([&](const platform::ProcessEntry& entry) {
    if (entry.id == self) return true;
    platform::OpenedProcess process(entry.id);
    if (!process.ok() || !RunsInstalledProgram(process, exeName, dstPath)) return true;
    if (IsUpdaterProgram(process.ExecutableFile())) return true;
    found = true;
    return act(process);
  });
  return found;
}

}  // namespace

bool KillProcessByName(const std::string& processName) {
  return StopEveryMatch(processName, platform::AskProcessToEnd);
}

void StopProcessByName(const std::string& processName) { KillProcessByName(processName); }

bool WaitUntilStopped(const std::string& processName, int polls, std::chrono::milliseconds interval) {
  return PollUntilStopped(ByName(processName), polls, interval, kNeverForced);
}

bool EnsureStopped(const std::string& processName, int polls, std::chrono::milliseconds interval, int forceAtPoll) {
  return PollUntilStopped(ByName(processName), polls, interval, forceAtPoll);
}

bool StopInstalledApplication(const std::string& exeName, const std::string& dstPath) {
  return ForEachInstalled(exeName, dstPath, [](platform::OpenedProcess& process) {
    process.AskToEnd();
    return true;
  });
}

bool EnsureInstalledApplicationStopped(const std::string& exeName, const std::string& dstPath, int polls,
                                       std::chrono::milliseconds interval, int forceAtPoll) {
  const Look look = [&](bool force) {
    return ForEachInstalled(exeName, dstPath, [force](platform::OpenedProcess& process) {
      if (force && process.ForceToEnd()) {
        LogFormatted(Warning, kDriverLogSource, kForcedEndLine, "Process Ended By Force:%d",
                     static_cast<int>(process.id()));
      }
      return force;
    });
  };
  return PollUntilStopped(look, polls, interval, forceAtPoll);
}
