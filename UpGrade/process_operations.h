// Stopping the application the driver updates: finding its processes by the
// file name of their executable, terminating them and waiting for them to go.
// Starting programs: platform/program.h and platform/shell.h.
#pragma once

#include <chrono>
#include <string>

/// True when some process other than the calling one has an executable file
/// name equal to `processName` byte for byte (no case folding, no directory,
/// no quotes).
bool IsProcessRunning(const std::string& processName);

/// Terminates every process whose executable file name equals `processName`
/// exactly (the updater itself excepted) and does not wait for them to end.
/// True when at least one such process was found, even if it could not be terminated.
bool KillProcessByName(const std::string& processName);

/// Terminates as KillProcessByName does, without a result.
void StopProcessByName(const std::string& processName);

/// Tests IsProcessRunning at most `polls` times, sleeping `interval` after
/// each test that still finds one, and returns once none is found. False when
/// a process of that name outlived every poll.
bool WaitUntilStopped(const std::string& processName, int polls = 10,
                      std::chrono::milliseconds interval = std::chrono::seconds(1));
