// Windows backend of platform/process.h: toolhelp snapshots and process handles.
#include "platform/process.h"

#include <cwchar>
#include <vector>

#include <windows.h>
#include <tlhelp32.h>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

// The wide entry of a 32-bit program: its name holds 260 UTF-16 units.
static_assert(sizeof(PROCESSENTRY32W) == 556, "PROCESSENTRY32W must be the 32-bit wide form");

std::uint32_t platform::CurrentProcessId() { return GetCurrentProcessId(); }

void platform::WalkProcesses(const std::function<bool(const ProcessEntry&)>& visit) {
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, /*th32ProcessID=*/0));
  if (!snapshot.ok()) return;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    ProcessEntry seen;
    seen.id = entry.th32ProcessID;
    seen.exeName = Utf8Text(std::wstring(entry.szExeFile, wcsnlen(entry.szExeFile, MAX_PATH)));
    if (!visit(seen)) return;
  }
}

bool platform::AskProcessToEnd(std::uint32_t id) {
  UniqueHandle process(OpenProcess(PROCESS_TERMINATE, /*bInheritHandle=*/FALSE, id));
  if (!process.ok()) return false;
  return TerminateProcess(process.get(), /*uExitCode=*/0) != FALSE;
}

// Asking terminated the process already; one still listed is on its way out
// or could not be opened, and a second TerminateProcess would change neither.
bool platform::ForceProcessToEnd(std::uint32_t /*id*/) { return true; }

struct platform::OpenedProcess::Impl {
  UniqueHandle process;
};

// Looked at and ended through this one handle: an id is reused as soon as
// its process is gone, and a handle still names the process it was opened on.
platform::OpenedProcess::OpenedProcess(std::uint32_t id) : impl_(std::make_unique<Impl>()) {
  *impl_->process.out() =
      OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, /*bInheritHandle=*/FALSE, id);
  if (!impl_->process.ok()) impl_.reset();
}

platform::OpenedProcess::~OpenedProcess() = default;

bool platform::OpenedProcess::ok() const { return impl_ != nullptr; }

// The image path in the Win32 form, of any length; Wine spells it through
// whichever drive letter it prefers for the folder, not always the one the
// program was started through.
std::vector<std::string> platform::OpenedProcess::ProgramFiles() const {
  if (!impl_) return {};
  std::vector<wchar_t> buffer(32768, L'\0');
  DWORD length = static_cast<DWORD>(buffer.size());
  if (!QueryFullProcessImageNameW(impl_->process.get(), /*dwFlags=*/0, buffer.data(), &length)) return {};
  return {Utf8Text(std::wstring(buffer.data(), length))};
}

bool platform::OpenedProcess::AskToEnd() {
  return impl_ && TerminateProcess(impl_->process.get(), /*uExitCode=*/0) != FALSE;
}

// As ForceProcessToEnd: asking terminated it already.
bool platform::OpenedProcess::ForceToEnd() { return impl_ != nullptr; }
