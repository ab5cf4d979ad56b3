// Windows backend of tests/support/child_process.h.
#include "tests/support/child_process.h"

#include <windows.h>

#include "tests/support/temp_dir.h"

namespace testing_support {
namespace {

class Handle {
 public:
  explicit Handle(HANDLE handle = nullptr) : handle_(handle) {}
  ~Handle() {
    if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

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

HANDLE OpenForChild(const std::string& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

RunResult RunToEnd(const std::string& program, const std::vector<std::string>& args,
                   const std::filesystem::path& captureDir) {
  const std::string outFile = (captureDir / "stdout.txt").string();
  const std::string errFile = (captureDir / "stderr.txt").string();
  RunResult result;
  {
    Handle in(OpenForChild("NUL", GENERIC_READ, OPEN_EXISTING));
    Handle out(OpenForChild(outFile, GENERIC_WRITE, CREATE_ALWAYS));
    Handle err(OpenForChild(errFile, GENERIC_WRITE, CREATE_ALWAYS));
    std::string commandLine = Quote(program);
    for (const auto& arg : args) commandLine += " " + Quote(arg);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in.get();
    startup.hStdOutput = out.get();
    startup.hStdError = err.get();
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr,
                        /*bInheritHandles=*/TRUE, 0, nullptr, nullptr, &startup, &info)) {
      return result;
    }
    Handle process(info.hProcess);
    Handle thread(info.hThread);
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

std::uint32_t StartProgram(const std::string& program, const std::string& workingDir) {
  std::string commandLine = Quote(program);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                      nullptr, workingDir.empty() ? nullptr : workingDir.c_str(), &startup, &info)) {
    return 0;
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return info.dwProcessId;
}

bool IsAlive(std::uint32_t pid) {
  Handle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
  return process.get() != nullptr && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

void KillProcess(std::uint32_t pid) {
  Handle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
  if (process.get() == nullptr) return;
  TerminateProcess(process.get(), 1);
  WaitForSingleObject(process.get(), 5000);
}

}  // namespace testing_support
