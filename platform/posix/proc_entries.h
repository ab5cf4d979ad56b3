// Linux: what the /proc file system tells of one process, for the process
// seam's backend.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

/// "/proc/ID/NAME".
std::string ProcFile(std::uint32_t id, const char* name);

/// Where the link `link` leads; false when it cannot be read.
bool ReadLink(const std::string& link, std::string* target);

/// The path of the process's executable, as it was started: the kernel's
/// " (deleted)" mark of a file unlinked or renamed over since is left off.
bool ExecutablePathOf(std::uint32_t id, std::string* path);

/// The words of the process's command line as it was started; empty when it
/// cannot be read.
std::vector<std::string> CommandLineWords(std::uint32_t id);

}  // namespace platform
