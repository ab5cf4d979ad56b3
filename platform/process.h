// This process and others: identity, finding and stopping by executable name,
// and the program files a process runs. Starting programs: program.h and shell.h.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

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
/// list, the first included, until `visit` returns false. False, with
/// LastSystemError() telling why, when the snapshot cannot be taken; on
/// Linux a process whose executable cannot be read (another user's, a kernel
/// thread, a zombie) is skipped.
bool WalkProcesses(const std::function<bool(const ProcessEntry&)>& visit);

/// Asks process `id` to end and does not wait for it: SIGTERM on Linux,
/// which the process may answer by saving its work first; on Windows the
/// termination itself (exit code 0). False when it could not be opened or
/// signalled, with LastSystemError() telling why.
bool AskProcessToEnd(std::uint32_t id);

/// Ends process `id`, which was asked to end and is still there, at once:
/// SIGKILL on Linux; nothing on Windows, where asking already terminated it
/// (true). False as AskProcessToEnd.
bool ForceProcessToEnd(std::uint32_t id);

/// One process, opened once by its id to be looked at and stopped, through
/// one handle (Windows) or process descriptor (Linux 5.3 and later), so a
/// process whose id is reused after the look is never ended; on older Linux
/// kernels each act goes to the id.
class OpenedProcess {
 public:
  /// Opens process `id`; ok() is false when it cannot be (gone, or not ours to end).
  explicit OpenedProcess(std::uint32_t id);
  ~OpenedProcess();
  OpenedProcess(const OpenedProcess&) = delete;
  OpenedProcess& operator=(const OpenedProcess&) = delete;

  bool ok() const;
  std::uint32_t id() const;

  /// A path that opens the file of the process's program: "/proc/ID/exe" on
  /// Linux (the file it was started from, also once replaced), its image path
  /// on Windows. Empty when not ok().
  std::string ExecutableFile() const;

  /// Absolute paths of the files the process may run as its program: its
  /// executable (on Linux the path it was started from, also after that file
  /// was replaced), and on Linux the script it runs as an interpreter, links
  /// resolved (platform/posix/interpreted_script.h). Empty when nothing can
  /// be read: the stop ends only a process it can show runs the installation's
  /// program.
  std::vector<std::string> ProgramFiles() const;

  /// Asks this process to end and does not wait for it: SIGTERM on Linux; on
  /// Windows WM_CLOSE posted to each of its top-level windows, visible or
  /// hidden, and a process that owns none is terminated at once (exit code
  /// 0). False when it could be neither asked nor ended.
  bool AskToEnd();

  /// Ends this process at once: SIGKILL on Linux, TerminateProcess (exit code
  /// 0) on Windows. False when it could not be.
  bool ForceToEnd();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
