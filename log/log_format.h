// Text of one log line and name of the day's log file.
#pragma once

#include <cstddef>
#include <ctime>

/// Formats the line for `level` into `buffer`. A line that does not fit is cut
/// and still ends with a line feed; false then.
bool FormatLogLine(char* buffer, std::size_t size, const std::tm& when, int milliseconds, int level,
                   const char* sourceFile, int line, const char* message);

/// Formats "<directory>log_YYYYMMDD.txt" into `buffer`; false (nothing usable) when it does not fit.
bool FormatLogFilePath(char* buffer, std::size_t size, const char* directory, const std::tm& when);

/// Formats "<root>/log/" into `buffer`, with the system's separator and one
/// separator after the root however it ends; false (nothing usable) when it does not fit.
bool FormatLogDirectory(char* buffer, std::size_t size, const char* root);
