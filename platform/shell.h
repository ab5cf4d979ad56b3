// Starting the updated application again, detached from the updater.
#pragma once

#include <string>
#include <vector>

namespace platform {

/// A variable the started program finds in its environment, in place of one
/// of that name the updater has.
struct EnvironmentVariable {
  std::string name;
  std::string value;
};

/// Starts the program `path` with no arguments in the current directory, its
/// environment the updater's with `variables` added, and does not wait for
/// it. Afterwards LastSystemError() holds the system's code for the start:
/// 0 when it started.
void OpenWithShell(const std::string& path, const std::vector<EnvironmentVariable>& variables);

}  // namespace platform
