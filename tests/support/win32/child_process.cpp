// Windows backend of tests/support/child_process.h.
#include "tests/support/child_process.h"

#include <windows.h>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "tests/support/temp_dir.h"

namespace testing_support {
namespace {

using platform::UniqueHandle;

// Quotes one argument so that the C runtime's splitting gives it back as it is.
std::string Quote(const std::string& arg) {
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

std::string CommandLine(const std::string& program, const std::vector<std::string>& args) {
  std::string line = Quote(program);
  for (const std::string& arg : args) line += " " + Quote(arg);
  return line;
}

HANDLE OpenForChild(const std::string& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileW(platform::WideText(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                     disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

struct ChildProcess::Impl {
  PROCESS_INFORMATION info{};
  bool started = false;
};

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments)
    : impl_(std::make_unique<Impl>()) {
  std::wstring line = platform::WideText(CommandLine(program, arguments));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  impl_->started = CreateProcessW(platform::WideText(program).c_str(), line.data(), nullptr, nullptr,
                                  /*bInheritHandles=*/FALSE, /*dwCreationFlags=*/0, nullptr, nullptr, &startup,
                                  &impl_->info) != FALSE;
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

RunResult RunToEnd(const std::string& program, const std::vector<std::string>& args,
                   const std::filesystem::path& captureDir) {
  const std::string outFile = (captureDir / "stdout.txt").string();
  const std::string errFile = (captureDir / "stderr.txt").string();
  RunResult result;
  {
    UniqueHandle in(OpenForChild("NUL", GENERIC_READ, OPEN_EXISTING));
    UniqueHandle out(OpenForChild(outFile, GENERIC_WRITE, CREATE_ALWAYS));
    UniqueHandle err(OpenForChild(errFile, GENERIC_WRITE, CREATE_ALWAYS));
    std::wstring line = platform::WideText(CommandLine(program, args));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in.get();
    startup.hStdOutput = out.get();
    startup.hStdError = err.get();
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(platform::WideText(program).c_str(), line.data(), nullptr, nullptr, /*bInheritHandles=*/TRUE, 0,
                        nullptr, nullptr, &startup, &info)) {
      return result;
    }
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    result.pid = info.dwProcessId;
    if (WaitForSingleObject(process.get(), 120000) != WAIT_OBJECT_0) {
      TerminateProcess(process.get(), 255);
      WaitForSingleObject(process.get(), INFINITE);
    }
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    result.exitCode = static_cast<int>(code);
  }
  result.out = ReadFileBytes(outFile);
  result.err = ReadFileBytes(errFile);
  return result;
}

int RunAndEndItsGroup(const std::string& program, const std::vector<std::string>& args) {
  // Closed on return, which kills whatever did not break away from it.
  UniqueHandle job(CreateJobObjectW(nullptr, nullptr));
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_BREAKAWAY_OK;
  if (!job.ok() || !SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
    return -1;
  }
  std::wstring line = platform::WideText(CommandLine(program, args));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  // Suspended until it is in the job, so that nothing it starts escapes it unasked.
  if (!CreateProcessW(platform::WideText(program).c_str(), line.data(), nullptr, nullptr, /*bInheritHandles=*/FALSE,
                      CREATE_SUSPENDED, nullptr, nullptr, &startup, &info)) {
    return -1;
  }
  UniqueHandle process(info.hProcess);
  UniqueHandle thread(info.hThread);
  DWORD code = static_cast<DWORD>(-1);
  if (AssignProcessToJobObject(job.get(), process.get()) && ResumeThread(thread.get()) != static_cast<DWORD>(-1) &&
      WaitForSingleObject(process.get(), 120000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.get(), &code);
  }
  TerminateProcess(process.get(), 1);
  return static_cast<int>(code);
}

bool IsAlive(std::uint32_t pid) {
  UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
  return process.ok() && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

void KillProcess(std::uint32_t pid) {
  UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
  if (!process.ok()) return;
  TerminateProcess(process.get(), 1);
  WaitForSingleObject(process.get(), 5000);
}

}  // namespace testing_support
