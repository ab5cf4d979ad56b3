// Whether a program file is the installed application's: its name, and the
// folder it lies in compared by identity. Finding processes: process_operations.h.
#pragma once

#include <string>

/// True when `programFile`, an absolute path, is named `exeName` (as this
/// system compares names) and lies in `dstPath` or in a folder below it.
/// Each folder above the file is compared with `dstPath` as a file, not as
/// text, so every spelling of the installation counts and a sibling folder
/// whose name begins with the installation's does not; the program file
/// itself need not exist any more.
bool IsInstalledProgram(const std::string& programFile, const std::string& exeName, const std::string& dstPath);
