// Whether a program file is an updater: this program, or a copy of it.
// Finding the application's processes: process_operations.h.
#pragma once

#include <string>

/// True when `programFile` is the file this program runs from, or a file of
/// the same bytes wherever it lies and however it is named: an updater,
/// which the stop never takes for the application. False when either cannot
/// be read.
bool IsUpdaterProgram(const std::string& programFile);
