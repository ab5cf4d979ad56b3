// Real processes for tests: a started child that never outlives its test,
// a program run to its end with its output captured, and any process's fate.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

class ChildProcess {
 public:
  /// Starts `program` with `arguments`; started() tells whether it could.
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments);
  /// Kills the process if it still runs and waits for it, so that no zombie
  /// is left to be found by a process walk.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const;
  std::uint32_t id() const;

  /// Waits for the process to end and reaps it; true when it ended. The wait
  /// gives up after a minute, only so that a fault cannot hang the test run.
  bool WaitForExit();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

struct RunResult {
  int exitCode = -1;
  std::uint32_t pid = 0;  ///< its process id
  std::string out;        ///< everything it wrote to standard output
  std::string err;        ///< everything it wrote to standard error
};

/// Runs `program` with `args` in the current directory and waits for its end
/// (at most two minutes, then it is killed). Output goes through files in
/// `captureDir`: a program it starts may keep a pipe open long after it ends.
RunResult RunToEnd(const std::string& program, const std::vector<std::string>& args,
                   const std::filesystem::path& captureDir);

/// Runs `program` with `args` to its end in a group of its own, then ends
/// the group as a terminal or a service manager ends an application's: on
/// Linux a process group, killed; on Windows a job that kills its members
/// when closed and lets them break away. The exit code, or -1.
int RunAndEndItsGroup(const std::string& program, const std::vector<std::string>& args);

/// True while process `pid` exists and has not ended (an unreaped child of
/// ours that has ended counts as gone).
bool IsAlive(std::uint32_t pid);

/// Kills process `pid` if it still runs (one that is not our child, such as
/// a program the updater started).
void KillProcess(std::uint32_t pid);

}  // namespace testing_support
