// Stopping the application the driver updates: finding its processes, by the
// file name of their executable (the library's forms) or also by the
// installation their program lies in (the update run's), terminating them
// and waiting for them to go. Starting programs: platform/program.h and
// platform/shell.h.
#pragma once

#include <chrono>
#include <string>

/// True when some process other than the calling one has an executable file
/// name equal to `processName` byte for byte (no case folding, no directory,
/// no quotes).
bool IsProcessRunning(const std::string& processName);

/// Stops every process whose executable file name equals `processName`
/// exactly (the updater itself excepted) and does not wait for them to end:
/// terminated on Windows, asked to end (SIGTERM) on Linux, where
/// EnsureStopped ends by force what does not go. True when at least one such
/// process was found, even if it could not be stopped.
bool KillProcessByName(const std::string& processName);

/// Stops as KillProcessByName does, without a result.
void StopProcessByName(const std::string& processName);

/// Tests IsProcessRunning at most `polls` times, sleeping `interval` after
/// each test that still finds one, and returns once none is found. False when
/// a process of that name outlived every poll.
bool WaitUntilStopped(const std::string& processName, int polls = 10,
                      std::chrono::milliseconds interval = std::chrono::seconds(1));

/// Waits as WaitUntilStopped does, except that the test of poll `forceAtPoll`
/// (from 0) also ends by force every process of that name still there:
/// SIGKILL on Linux, after the grace that SIGTERM gave it to save its work;
/// nothing more on Windows, where the stop terminated it already.
bool EnsureStopped(const std::string& processName, int polls = 10,
                   std::chrono::milliseconds interval = std::chrono::seconds(1), int forceAtPoll = 5);

/// The update run's stop: asks every process of the application installed
/// in `dstPath` to end (platform::OpenedProcess::AskToEnd: SIGTERM on Linux,
/// WM_CLOSE to its windows on Windows, where one without a window is
/// terminated at once) and does not wait. Those are the processes whose
/// program file (IsInstalledProgram) or, on Linux, whose script an
/// interpreter runs, is `exeName` inside `dstPath`. A process that cannot be
/// opened or looked at is not counted. True when one was found.
bool StopInstalledApplication(const std::string& exeName, const std::string& dstPath);

/// Waits as EnsureStopped does, for the processes StopInstalledApplication
/// stops; the test of poll `forceAtPoll` ends every one still there at once
/// (SIGKILL, TerminateProcess).
bool EnsureInstalledApplicationStopped(const std::string& exeName, const std::string& dstPath, int polls = 10,
                                       std::chrono::milliseconds interval = std::chrono::seconds(1),
                                       int forceAtPoll = 5);
