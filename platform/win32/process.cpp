// Windows backend of platform/process.h: toolhelp snapshots, process handles
// and the close request to a process's windows.
#include "platform/process.h"

#include <cwchar>
#include <utility>
#include <vector>

#include <windows.h>
#include <tlhelp32.h>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

// The wide entry of a 32-bit program: its name holds 260 UTF-16 units.
static_assert(sizeof(PROCESSENTRY32W) == 556, "PROCESSENTRY32W must be the 32-bit wide form");

std::uint32_t platform::CurrentProcessId() { return GetCurrentProcessId(); }

bool platform::WalkProcesses(const std::function<bool(const ProcessEntry&)>& visit) {
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, /*th32ProcessID=*/0));
  if (!snapshot.ok()) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    ProcessEntry seen;
    seen.id = entry.th32ProcessID;
    seen.exeName = Utf8Text(std::wstring(entry.szExeFile, wcsnlen(entry.szExeFile, MAX_PATH)));
    if (!visit(seen)) return true;
  }
  return true;
}

bool platform::AskProcessToEnd(std::uint32_t id) {
  UniqueHandle process(OpenProcess(PROCESS_TERMINATE, /*bInheritHandle=*/FALSE, id));
  if (!process.ok()) return false;
  return TerminateProcess(process.get(), /*uExitCode=*/0) != FALSE;
}

// Asking terminated the process already; one still listed is on its way out
// or could not be opened, and a second TerminateProcess would change neither.
bool platform::ForceProcessToEnd(std::uint32_t /*id*/) { return true; }

namespace {

struct WindowSearch {
  DWORD processId;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindowOf(HWND window, LPARAM search) {
  auto* seen = reinterpret_cast<WindowSearch*>(search);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == seen->processId) seen->windows.push_back(window);
  return TRUE;
}

// Every top-level window of the process, hidden ones included (EnumWindows
// lists both; message-only windows are not top-level).
std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
  WindowSearch search{processId, {}};
  EnumWindows(CollectWindowOf, reinterpret_cast<LPARAM>(&search));
  return search.windows;
}

}  // namespace

struct platform::OpenedProcess::Impl {
  UniqueHandle process;
  DWORD id = 0;
};

// Looked at and ended through this one handle: an id is reused as soon as
// its process is gone, and a handle still names the process it was opened on.
platform::OpenedProcess::OpenedProcess(std::uint32_t id) : impl_(std::make_unique<Impl>()) {
  *impl_->process.out() =
      OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, /*bInheritHandle=*/FALSE, id);
  impl_->id = id;
  if (!impl_->process.ok()) impl_.reset();
}

platform::OpenedProcess::~OpenedProcess() = default;

bool platform::OpenedProcess::ok() const { return impl_ != nullptr; }

std::uint32_t platform::OpenedProcess::id() const { return impl_ ? impl_->id : 0; }

// The image path in the Win32 form, of any length; Wine spells it through
// whichever drive letter it prefers for the folder, not always the one the
// program was started through.
std::string platform::OpenedProcess::ExecutableFile() const {
  if (!impl_) return {};
  std::vector<wchar_t> buffer(32768, L'\0');
  DWORD length = static_cast<DWORD>(buffer.size());
  if (!QueryFullProcessImageNameW(impl_->process.get(), /*dwFlags=*/0, buffer.data(), &length)) return {};
  return Utf8Text(std::wstring(buffer.data(), length));
}

std::vector<std::string> platform::OpenedProcess::ProgramFiles() const {
  std::string image = ExecutableFile();
  if (image.empty()) return {};
  return {std::move(image)};
}

// A desktop program is asked to close as a user closes it: WM_CLOSE to each
// of its top-level windows, posted, so that a program that is busy or asks
// the user something cannot hold the updater; the wait forces what stays.
// A program with no window, or none that takes the message, cannot be asked
// and is terminated at once. The handle keeps the id from being reused, so
// the windows found are this process's.
bool platform::OpenedProcess::AskToEnd() {
  if (!impl_) return false;
  bool asked = false;
  for (HWND window : TopLevelWindowsOf(impl_->id)) {
    asked = PostMessageW(window, WM_CLOSE, /*wParam=*/0, /*lParam=*/0) != FALSE || asked;
  }
  return asked || TerminateProcess(impl_->process.get(), /*uExitCode=*/0) != FALSE;
}

bool platform::OpenedProcess::ForceToEnd() {
  return impl_ && TerminateProcess(impl_->process.get(), /*uExitCode=*/0) != FALSE;
}
