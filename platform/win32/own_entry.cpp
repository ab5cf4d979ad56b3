// Windows backend helper: an opened handle checked against the entry named.
#include "platform/win32/own_entry.h"

#include "platform/win32/unique_handle.h"

namespace {

// The path the system resolved for `handle`, links followed; empty when it cannot tell.
std::wstring FinalPath(HANDLE handle) {
  std::wstring path(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD length = GetFinalPathNameByHandleW(handle, &path[0], static_cast<DWORD>(path.size()), 0);
    if (length == 0) return {};
    if (length < path.size()) return path.substr(0, length);
    path.resize(length + 1);
  }
  return {};
}

}  // namespace

bool platform::IsOwnEntry(HANDLE entry, const std::wstring& folder, const std::wstring& name) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(entry, &information) ||
      (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return false;
  }
  const UniqueHandle opened(CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  const std::wstring folderPath = opened.ok() ? FinalPath(opened.get()) : std::wstring();
  const std::wstring entryPath = FinalPath(entry);
  if (folderPath.empty() || entryPath.empty()) return true;
  const std::wstring expected = folderPath + (folderPath.back() == L'\\' ? L"" : L"\\") + name;
  return CompareStringOrdinal(expected.c_str(), static_cast<int>(expected.size()), entryPath.c_str(),
                              static_cast<int>(entryPath.size()), TRUE) == CSTR_EQUAL;
}
