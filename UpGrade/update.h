// The update run: the program's entry logic.
#pragma once

#include <string>

/// Runs one update from the command line; the result is the process exit code:
/// 0 done (or no archive), 1 usage shown, 2 bad command line, 3 extraction
/// failed, 4 installation failed.
int RunUpdate(int argc, char* argv[]);

/// `input` without the characters of `stripChars` at either end.
std::string Trim(const std::string& input, const std::string& stripChars);
