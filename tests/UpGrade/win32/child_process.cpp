// Windows backend of the tests' child process: CreateProcessA and its handle.
#include "tests/UpGrade/child_process.h"

#include <windows.h>

namespace testing_support {

namespace {

// Quotes each word as the C runtime splits a command line; the tests' words
// hold no quotes of their own.
std::string CommandLine(const std::string& program, const std::vector<std::string>& arguments) {
  std::string line = "\"" + program + "\"";
  for (const std::string& word : arguments) line += " \"" + word + "\"";
  return line;
}

}  // namespace

struct ChildProcess::Impl {
  PROCESS_INFORMATION info{};
  bool started = false;
};

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments)
    : impl_(std::make_unique<Impl>()) {
  std::string line = CommandLine(program, arguments);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  impl_->started = CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, /*bInheritHandles=*/FALSE,
                                  /*dwCreationFlags=*/0, nullptr, nullptr, &startup, &impl_->info) != FALSE;
}

ChildProcess::~ChildProcess() {
  if (!impl_->started) return;
  if (WaitForSingleObject(impl_->info.hProcess, 0) != WAIT_OBJECT_0) {
    TerminateProcess(impl_->info.hProcess, 1);
    WaitForSingleObject(impl_->info.hProcess, INFINITE);
  }
  CloseHandle(impl_->info.hThread);
  CloseHandle(impl_->info.hProcess);
}

bool ChildProcess::started() const { return impl_->started; }

std::uint32_t ChildProcess::id() const { return impl_->info.dwProcessId; }

bool ChildProcess::WaitForExit() {
  return started() && WaitForSingleObject(impl_->info.hProcess, 60 * 1000) == WAIT_OBJECT_0;
}

}  // namespace testing_support
