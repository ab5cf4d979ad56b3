// Finding and stopping processes by the file name of their executable.
#pragma once

#include <string>

/// True when some process other than the calling one has an executable file
/// name equal to `processName` byte for byte (no case folding, no directory,
/// no quotes).
bool IsProcessRunning(const std::string& processName);

/// Terminates every process whose executable file name equals `processName`,
/// except the calling process, without waiting for them to end. True when
/// such a process was met, whether or not it could be terminated.
bool TerminateProcessesNamed(const std::string& processName);

/// Terminates every process whose executable file name equals `processName`,
/// as TerminateProcessesNamed does, without a result.
void StopProcessByName(const std::string& processName);
