// The update run: the program's entry logic.
#pragma once

#include <string>

/// Runs one update from the command line; the result is the process exit code:
/// 0 done (or no archive), 1 usage shown, 2 bad command line, 3 extraction
/// failed, 4 installation failed.
int RunUpdate(int argc, char* argv[]);

/// The command-line error for the installation directory `dstPath` (quotes
/// already trimmed): empty when it is an existing directory; otherwise a
/// one-line message naming the value, also for an empty one.
std::string DestinationError(const std::string& dstPath);

/// `input` without the characters of `stripChars` at either end.
std::string Trim(const std::string& input, const std::string& stripChars);
