// POSIX backend of tests/support/child_process.h: posix_spawn and waitpid.
#include "tests/support/child_process.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/posix/spawn_handles.h"
#include "tests/support/temp_dir.h"

extern char** environ;

namespace testing_support {
namespace {

pid_t Spawn(const std::string& program, const std::vector<std::string>& arguments,
            const posix_spawn_file_actions_t* actions, const posix_spawnattr_t* attributes = nullptr) {
  std::vector<std::string> words{program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, program.c_str(), actions, attributes, argv.data(), environ) != 0) return -1;
  return pid;
}

// Waits for our child `pid` to end, at most until `giveUp`; true when reaped.
bool Reap(pid_t pid, int& status, std::chrono::steady_clock::time_point giveUp) {
  while (std::chrono::steady_clock::now() < giveUp) {
    if (waitpid(pid, &status, WNOHANG) == pid) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

}  // namespace

struct ChildProcess::Impl {
  pid_t pid = -1;
  bool reaped = false;
};

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments)
    : impl_(std::make_unique<Impl>()) {
  impl_->pid = Spawn(program, arguments, nullptr);
}

ChildProcess::~ChildProcess() {
  if (impl_->pid <= 0 || impl_->reaped) return;
  kill(impl_->pid, SIGKILL);
  waitpid(impl_->pid, nullptr, 0);
}

bool ChildProcess::started() const { return impl_->pid > 0; }

std::uint32_t ChildProcess::id() const { return static_cast<std::uint32_t>(impl_->pid); }

bool ChildProcess::WaitForExit() {
  if (!started()) return false;
  int status = 0;
  if (!impl_->reaped)
    impl_->reaped = Reap(impl_->pid, status, std::chrono::steady_clock::now() + std::chrono::minutes(1));
  return impl_->reaped;
}

RunResult RunToEnd(const std::string& program, const std::vector<std::string>& args,
                   const std::filesystem::path& captureDir) {
  const std::string outFile = (captureDir / "stdout.txt").string();
  const std::string errFile = (captureDir / "stderr.txt").string();
  RunResult result;
  pid_t pid = -1;
  {
    platform::SpawnActions actions;
    posix_spawn_file_actions_addopen(actions.get(), 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(actions.get(), 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(actions.get(), 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid = Spawn(program, args, actions.get());
  }
  if (pid <= 0) return result;
  result.pid = static_cast<std::uint32_t>(pid);
  int status = 0;
  if (!Reap(pid, status, std::chrono::steady_clock::now() + std::chrono::minutes(2))) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = ReadFileBytes(outFile);
  result.err = ReadFileBytes(errFile);
  return result;
}

int RunAndEndItsGroup(const std::string& program, const std::vector<std::string>& args) {
  pid_t pid = -1;
  {
    platform::SpawnAttributes group;
    posix_spawnattr_setpgroup(group.get(), 0);
    posix_spawnattr_setflags(group.get(), POSIX_SPAWN_SETPGROUP);
    pid = Spawn(program, args, nullptr, group.get());
  }
  if (pid <= 0) return -1;
  int status = 0;
  const bool ended = Reap(pid, status, std::chrono::steady_clock::now() + std::chrono::minutes(2));
  // The group outlives its leader while anything it started is left in it.
  kill(-pid, SIGKILL);
  if (!ended) waitpid(pid, &status, 0);
  return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
  if (pid == 0 || pid > static_cast<std::uint32_t>(INT32_MAX)) return;
  kill(static_cast<pid_t>(pid), SIGKILL);
}

}  // namespace testing_support
