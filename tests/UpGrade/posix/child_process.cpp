// POSIX backend of the tests' child process: posix_spawn and waitpid.
#include "tests/UpGrade/child_process.h"

#include <chrono>
#include <csignal>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace testing_support {

struct ChildProcess::Impl {
  pid_t pid = -1;
  bool reaped = false;
};

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments)
    : impl_(std::make_unique<Impl>()) {
  std::vector<std::string> words{program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) == 0) impl_->pid = pid;
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
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (!impl_->reaped && std::chrono::steady_clock::now() < giveUp) {
    if (waitpid(impl_->pid, nullptr, WNOHANG) == impl_->pid) {
      impl_->reaped = true;
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  return impl_->reaped;
}

}  // namespace testing_support
