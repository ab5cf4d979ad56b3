// Splitting a Windows command line into argument words, for starting programs on POSIX.
#pragma once

#include <string>
#include <vector>

namespace platform {

/// The words of `commandLine` (up to its first zero byte) as a Windows program
/// receives them: the first, the program, runs to white space outside double
/// quotes, its quotes removed and backslashes kept. In the others, 2n
/// backslashes before a quote give n and the quote opens or closes a quoted
/// part, 2n+1 give n and a literal quote, "" inside quotes gives one quote,
/// and other backslashes stay as they are. Empty for an empty line.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

}  // namespace platform
