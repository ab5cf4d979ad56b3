// Windows backend of platform/program.h.
#include "platform/program.h"

#include <vector>

#include <windows.h>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace {

constexpr DWORD kPipeSize = 8192;

using platform::UniqueHandle;

// CreateProcessW may write into the command line, so it gets a copy.
std::vector<wchar_t> MutableCommandLine(const std::string& commandLine) {
  const std::wstring wide = platform::WideText(commandLine);
  return std::vector<wchar_t>(wide.c_str(), wide.c_str() + wide.size() + 1);
}

class Win32CapturedProgram : public platform::CapturedProgram {
 public:
  Win32CapturedProgram(HANDLE readEnd, const PROCESS_INFORMATION& started)
      : readEnd_(readEnd), process_(started.hProcess), thread_(started.hThread) {}

  std::size_t Read(char* buffer, std::size_t size) override {
    DWORD got = 0;
    if (!ReadFile(readEnd_.get(), buffer, static_cast<DWORD>(size), &got, /*lpOverlapped=*/nullptr)) return 0;
    return got;
  }

  std::uint32_t WaitForExit(std::uint32_t timeoutMs) override {
    WaitForSingleObject(process_.get(), timeoutMs);
    DWORD exitCode = 1;
    GetExitCodeProcess(process_.get(), &exitCode);
    return exitCode;
  }

 private:
  UniqueHandle readEnd_;
  UniqueHandle process_;
  UniqueHandle thread_;
};

}  // namespace

std::unique_ptr<platform::CapturedProgram> platform::CapturedProgram::Start(const std::string& commandLine) {
  // Both ends are inheritable, as the child must inherit the write end.
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), /*lpSecurityDescriptor=*/nullptr,
                                  /*bInheritHandle=*/TRUE};
  UniqueHandle readEnd;
  UniqueHandle writeEnd;
  if (!CreatePipe(readEnd.out(), writeEnd.out(), &inheritable, kPipeSize)) return nullptr;

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.wShowWindow = SW_HIDE;
  startup.hStdOutput = writeEnd.get();
  startup.hStdError = writeEnd.get();
  PROCESS_INFORMATION started{};
  std::vector<wchar_t> command = MutableCommandLine(commandLine);
  if (!CreateProcessW(/*lpApplicationName=*/nullptr, command.data(), &inheritable, &inheritable,
                      /*bInheritHandles=*/TRUE, /*dwCreationFlags=*/0, /*lpEnvironment=*/nullptr,
                      /*lpCurrentDirectory=*/nullptr, &startup, &started)) {
    return nullptr;
  }
  // Only the child's copy of the write end may remain, so that the pipe ends
  // when the child and whatever inherited it have closed theirs.
  writeEnd.reset();
  return std::make_unique<Win32CapturedProgram>(readEnd.release(), started);
}

bool platform::RunHiddenAndWait(const std::string& commandLine, std::uint32_t timeoutMs) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION started{};
  std::vector<wchar_t> command = MutableCommandLine(commandLine);
  if (!CreateProcessW(/*lpApplicationName=*/nullptr, command.data(), /*lpProcessAttributes=*/nullptr,
                      /*lpThreadAttributes=*/nullptr, /*bInheritHandles=*/FALSE, /*dwCreationFlags=*/0,
                      /*lpEnvironment=*/nullptr, /*lpCurrentDirectory=*/nullptr, &startup, &started)) {
    return false;
  }
  const UniqueHandle process(started.hProcess);
  const UniqueHandle thread(started.hThread);
  WaitForSingleObject(process.get(), timeoutMs);
  return true;
}
