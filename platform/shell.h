// Starting the updated application again, detached from the updater.
#pragma once

#include <string>

namespace platform {

/// Starts the program `path` with no arguments in the current directory and
/// does not wait for it. Afterwards LastSystemError() holds the system's code
/// for the start (on Linux 0 when it started).
void OpenWithShell(const std::string& path);

}  // namespace platform
