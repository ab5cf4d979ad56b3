// Windows backend of platform/process.h: toolhelp snapshots.
#include "platform/process.h"

#include <cstring>

#include <windows.h>
#include <tlhelp32.h>

#include "platform/win32/unique_handle.h"

// The ANSI entry of a 32-bit program: the walk sets its size field to 296.
static_assert(sizeof(PROCESSENTRY32) == 296, "PROCESSENTRY32 must be the 32-bit ANSI form");

std::uint32_t platform::CurrentProcessId() { return GetCurrentProcessId(); }

void platform::WalkProcesses(const std::function<bool(const ProcessEntry&)>& visit) {
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, /*th32ProcessID=*/0));
  if (!snapshot.ok()) return;
  PROCESSENTRY32 entry{};
  entry.dwSize = 296;
  for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry)) {
    ProcessEntry seen;
    seen.id = entry.th32ProcessID;
    seen.exeName.assign(entry.szExeFile, strnlen(entry.szExeFile, sizeof entry.szExeFile));
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
