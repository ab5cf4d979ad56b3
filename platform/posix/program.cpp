// POSIX backend of platform/program.h: posix_spawnp with the command line
// split into words as a Windows program's C runtime would split it.
#include "platform/program.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/posix/command_line_words.h"
#include "platform/posix/spawn_handles.h"
#include "platform/posix/unique_fd.h"

extern char** environ;

namespace {

// The started program's id, or -1 when it could not be started.
pid_t Spawn(const std::string& commandLine, const posix_spawn_file_actions_t* actions) {
  std::vector<std::string> words = platform::SplitCommandLine(commandLine);
  if (words.empty() || words[0].empty()) return -1;
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], actions, /*attrp=*/nullptr, argv.data(), environ) != 0) return -1;
  return pid;
}

// Exit status as a Windows caller reads an exit code; a signal gives 128 + its number, as shells report it.
std::uint32_t ExitCodeOf(int status) {
  if (WIFEXITED(status)) return static_cast<std::uint32_t>(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return 128u + static_cast<std::uint32_t>(WTERMSIG(status));
  return 1;
}

// Waits at most `timeoutMs` for `pid` to end; true with its status when it did.
// waitpid has no time limit, so the wait polls in short sleeps.
bool WaitAtMost(pid_t pid, std::uint32_t timeoutMs, int& status) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const pid_t ended = waitpid(pid, &status, WNOHANG);
    if (ended == pid) return true;
    if (ended < 0 && errno != EINTR) return false;
    const Clock::time_point now = Clock::now();
    if (now >= deadline) return false;
    std::this_thread::sleep_for(std::min<Clock::duration>(deadline - now, std::chrono::milliseconds(5)));
  }
}

// A program still running when we stop waiting must be reaped when it ends,
// or it stays behind as a zombie for as long as this process lives.
void ReapWhenEnded(pid_t pid) {
  if (waitpid(pid, nullptr, WNOHANG) != 0) return;
  try {
    std::thread([pid] {
      while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
      }
    }).detach();
  } catch (...) {
    // Without a thread the zombie stays until this process ends; nothing worse.
  }
}

class PosixCapturedProgram : public platform::CapturedProgram {
 public:
  PosixCapturedProgram(int readEnd, pid_t pid) : readEnd_(readEnd), pid_(pid) {}
  ~PosixCapturedProgram() override {
    if (!ended_) ReapWhenEnded(pid_);
  }

  std::size_t Read(char* buffer, std::size_t size) override {
    for (;;) {
      const ssize_t got = read(readEnd_.get(), buffer, size);
      if (got >= 0) return static_cast<std::size_t>(got);
      if (errno != EINTR) return 0;
    }
  }

  std::uint32_t WaitForExit(std::uint32_t timeoutMs) override {
    int status = 0;
    if (!ended_ && WaitAtMost(pid_, timeoutMs, status)) {
      ended_ = true;
      exitCode_ = ExitCodeOf(status);
    }
    return ended_ ? exitCode_ : platform::kStillRunning;
  }

 private:
  platform::UniqueFd readEnd_;
  pid_t pid_;
  bool ended_ = false;
  std::uint32_t exitCode_ = 0;
};

}  // namespace

std::unique_ptr<platform::CapturedProgram> platform::CapturedProgram::Start(const std::string& commandLine) {
  int ends[2] = {-1, -1};
  if (pipe2(ends, O_CLOEXEC) != 0) return nullptr;
  platform::UniqueFd readEnd(ends[0]);
  platform::UniqueFd writeEnd(ends[1]);

  // Output and errors share the pipe; input is empty, as a Windows child
  // started without an input handle has nothing to read.
  platform::SpawnActions actions;
  posix_spawn_file_actions_addopen(actions.get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(actions.get(), writeEnd.get(), STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(actions.get(), writeEnd.get(), STDERR_FILENO);
  const pid_t pid = Spawn(commandLine, actions.get());
  if (pid < 0) return nullptr;
  // Only the child's copies of the write end may remain, so that the pipe
  // ends when the child and whatever inherited it have closed theirs.
  writeEnd.Close();
  return std::make_unique<PosixCapturedProgram>(readEnd.Release(), pid);
}

bool platform::RunHiddenAndWait(const std::string& commandLine, std::uint32_t timeoutMs) {
  const pid_t pid = Spawn(commandLine, /*actions=*/nullptr);
  if (pid < 0) return false;
  int status = 0;
  if (!WaitAtMost(pid, timeoutMs, status)) ReapWhenEnded(pid);
  return true;
}
