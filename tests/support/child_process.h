// Real processes for tests: run a program to its end with its output in
// files, or start one, watch it and kill it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

struct RunResult {
  int exitCode = -1;
  std::string out;  ///< everything it wrote to standard output
  std::string err;  ///< everything it wrote to standard error
};

/// Runs `program` with `args` in the current directory and waits for its end
/// (at most two minutes, then it is killed). Output goes through files in
/// `captureDir`: a program it starts may keep a pipe open long after it ends.
RunResult RunToEnd(const std::string& program, const std::vector<std::string>& args,
                   const std::filesystem::path& captureDir);

/// Starts `program` with no arguments in `workingDir`, its streams on the null
/// device; the process id, or 0 when it could not start.
std::uint32_t StartProgram(const std::string& program, const std::string& workingDir);

/// True while process `pid` exists and has not ended (an unreaped child of
/// ours that has ended counts as gone).
bool IsAlive(std::uint32_t pid);

/// Kills process `pid` if it still runs, and reaps it if it is our child.
void KillProcess(std::uint32_t pid);

}  // namespace testing_support
