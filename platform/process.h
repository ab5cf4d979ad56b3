// This process and others: identity, finding and stopping by executable name.
// Starting programs: program.h and shell.h.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace platform {

/// The system's id of the calling process.
std::uint32_t CurrentProcessId();

/// One process as a walk of the system's process list sees it.
struct ProcessEntry {
  std::uint32_t id = 0;
  /// File name of the process's executable, without a directory, as the system reports it.
  std::string exeName;
};

/// Calls `visit` for every process in one snapshot of the system's process
/// list, the first included, until `visit` returns false. A snapshot that
/// cannot be taken visits nothing; on Linux a process whose executable cannot
/// be read (another user's, a kernel thread, a zombie) is skipped.
void WalkProcesses(const std::function<bool(const ProcessEntry&)>& visit);

/// Asks process `id` to end and does not wait for it: SIGTERM on Linux,
/// which the process may answer by saving its work first; on Windows the
/// termination itself (exit code 0). False when it could not be opened or
/// signalled, with LastSystemError() telling why.
bool AskProcessToEnd(std::uint32_t id);

/// Ends process `id`, which was asked to end and is still there, at once:
/// SIGKILL on Linux; nothing on Windows, where asking already terminated it
/// (true). False as AskProcessToEnd.
bool ForceProcessToEnd(std::uint32_t id);

}  // namespace platform
