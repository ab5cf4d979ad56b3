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

/// Terminates process `id` at once (exit code 0 on Windows, SIGKILL on Linux)
/// and does not wait for it to end. False when it could not be opened or
/// terminated, with LastSystemError() telling why.
bool TerminateProcessById(std::uint32_t id);

}  // namespace platform
