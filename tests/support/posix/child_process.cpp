// POSIX backend of tests/support/child_process.h.
#include "tests/support/child_process.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/temp_dir.h"

extern char** environ;

namespace testing_support {
namespace {

pid_t Spawn(const std::string& program, const std::vector<std::string>& args,
            const std::string& outFile, const std::string& errFile, const std::string& workingDir) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (!workingDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, workingDir.c_str());
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int failed = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return failed ? 0 : pid;
}

}  // namespace

RunResult RunToEnd(const std::string& program, const std::vector<std::string>& args,
                   const std::filesystem::path& captureDir) {
  const std::string outFile = (captureDir / "stdout.txt").string();
  const std::string errFile = (captureDir / "stderr.txt").string();
  RunResult result;
  const pid_t pid = Spawn(program, args, outFile, errFile, "");
  if (pid == 0) return result;
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = ReadFileBytes(outFile);
  result.err = ReadFileBytes(errFile);
  return result;
}

std::uint32_t StartProgram(const std::string& program, const std::string& workingDir) {
  return static_cast<std::uint32_t>(Spawn(program, {}, "/dev/null", "/dev/null", workingDir));
}

bool IsAlive(std::uint32_t pid) {
  // State "Z" is a process that ended and waits to be reaped.
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return false;
  const std::size_t close = line.rfind(')');
  return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z';
}

void KillProcess(std::uint32_t pid) {
  if (pid == 0) return;
  kill(static_cast<pid_t>(pid), SIGKILL);
  // Reaps it if it is our child; anyone else's is reaped by its parent.
  for (int i = 0; i < 100 && IsAlive(pid); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  waitpid(static_cast<pid_t>(pid), nullptr, WNOHANG);
}

}  // namespace testing_support
