// Windows backend of platform/file_system.h.
#include "platform/file_system.h"

#include <vector>

#include <windows.h>
#include <shlwapi.h>

#include "platform/win32/wide_text.h"

namespace {

// The longest path the system gives out in the "\\?\" form.
constexpr DWORD kLongestPath = 32768;

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

bool platform::SetCurrentDir(const std::string& path) { return SetCurrentDirectoryW(WidePath(path).c_str()) != FALSE; }

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
