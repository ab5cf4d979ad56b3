// The driver's stopping of the application it updates.
#pragma once

#include <string>

/// Terminates every process whose executable file name equals `processName`
/// exactly (the updater itself excepted) and does not wait for them to end.
/// True when at least one such process was found, even if it could not be terminated.
bool KillProcessByName(const std::string& processName);
