// Windows backend of platform/process.h: toolhelp snapshots.
#include "platform/process.h"

#include <cwchar>

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
