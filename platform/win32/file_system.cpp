// Windows backend of platform/file_system.h.
#include "platform/file_system.h"

#include <vector>

#include <windows.h>
#include <shlwapi.h>

#include "platform/win32/wide_text.h"

namespace {

// The longest path the system gives out in the "\\?\" form.
constexpr DWORD kLongestPath = 32768;

// A current folder holds at most MAX_PATH - 2 characters before the separator
// the system adds. Windows refuses a longer one; Wine takes it, and then
// breaks every program started from it: the start corrupts the starting
// process's heap, or the program starts in the Windows folder instead.
bool FitsCurrentFolder(std::wstring folder) {
  while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  return folder.size() <= MAX_PATH - 2;
}

}  // namespace

const char platform::kPathSeparator[] = "\\";

// The buffer grows past MAX_PATH units: an updater kept in a folder deeper
// than that still finds itself, its log and its installation.
platform::SystemRead<std::string> platform::ExecutablePath() {
  for (DWORD size = MAX_PATH; size <= kLongestPath; size *= 2) {
    std::vector<wchar_t> buffer(size, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
    if (length == 0) return {{}, static_cast<int>(GetLastError())};
    if (length < size) return {Utf8Text(std::wstring(buffer.data(), length)), 0};
  }
  return {{}, ERROR_INSUFFICIENT_BUFFER};
}

// A folder too long to be current is made current by its short (8.3) form.
bool platform::SetCurrentDir(const std::string& path) {
  std::wstring folder = WideText(path);
  if (!FitsCurrentFolder(folder)) {
    folder = ShortPlainPath(path);
    if (folder.empty()) return false;
    if (!FitsCurrentFolder(folder)) {
      SetLastError(ERROR_FILENAME_EXCED_RANGE);
      return false;
    }
  }
  return SetCurrentDirectoryW(folder.c_str()) != FALSE;
}

platform::SystemRead<std::string> platform::CurrentDir() {
  const DWORD needed = GetCurrentDirectoryW(0, nullptr);
  if (needed == 0) return {{}, static_cast<int>(GetLastError())};
  std::vector<wchar_t> buffer(needed, L'\0');
  const DWORD length = GetCurrentDirectoryW(needed, buffer.data());
  if (length == 0) return {{}, static_cast<int>(GetLastError())};
  // Changed by another thread between the two calls.
  if (length >= needed) return {{}, ERROR_INSUFFICIENT_BUFFER};
  return {Utf8Text(std::wstring(buffer.data(), length)), 0};
}

bool platform::IsExistingDirectory(const std::string& path) {
  return PathIsDirectoryW(WidePath(path).c_str()) != FALSE;
}

bool platform::MakeDirectory(const std::string& path) {
  return CreateDirectoryW(WidePath(path).c_str(), /*lpSecurityAttributes=*/nullptr) != FALSE;
}
