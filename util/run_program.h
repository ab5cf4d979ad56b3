// Running other programs from a command line: with their output captured, or
// waited for with a time limit.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

/// Runs `commandLine` hidden with its standard output and error on one pipe,
/// copies what it writes to `output` (each piece also printed as
/// "line = <piece>"), then waits at most ten seconds for it to end. Returns its
/// exit code, 259 when it is still running, or 1 when it cannot be started.
std::uint32_t RunCaptureOutput(const std::string& commandLine, std::ostream& output);

/// Runs `commandLine` hidden and waits at most `timeoutMs` for it to end;
/// false when it could not be started (whether it ended is not told).
bool RunAndWait(const std::string& commandLine, std::uint32_t timeoutMs);
