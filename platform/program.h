// Starting other programs from a command line, hidden, with their output
// captured or not, and waiting for them with a time limit.
// This process and finding others: process.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

/// The exit code of a program that has not ended yet (Windows' STILL_ACTIVE).
constexpr std::uint32_t kStillRunning = 259;

/// A started program whose standard output and standard error are one pipe
/// that this process reads. Releasing it closes this side's handles; the
/// program itself runs on.
class CapturedProgram {
 public:
  /// Starts `commandLine` (a program and its arguments as one Windows command
  /// line) hidden, standard input unset; null when the pipe or the program
  /// could not be made.
  static std::unique_ptr<CapturedProgram> Start(const std::string& commandLine);

  virtual ~CapturedProgram() = default;

  /// Reads what the program wrote, at most `size` bytes into `buffer`; 0 once
  /// every writer has closed the pipe, or when reading fails: either way
  /// nothing more will come, and the output only goes to the log.
  virtual std::size_t Read(char* buffer, std::size_t size) = 0;

  /// Waits at most `timeoutMs` for the program to end; its exit code, or kStillRunning.
  virtual std::uint32_t WaitForExit(std::uint32_t timeoutMs) = 0;
};

/// Starts `commandLine` hidden and waits at most `timeoutMs` for it to end;
/// false when it could not be started (whether it ended is not told).
bool RunHiddenAndWait(const std::string& commandLine, std::uint32_t timeoutMs);

}  // namespace platform
