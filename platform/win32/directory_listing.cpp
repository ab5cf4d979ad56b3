// Windows backend of platform/directory_listing.h: the file search returns
// each entry's attributes with its name.
#include "platform/directory_listing.h"

#include <cwchar>

#include <windows.h>

#include "platform/win32/find_handle.h"
#include "platform/win32/wide_text.h"

namespace {

platform::EntryType TypeOf(DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return platform::EntryType::kLink;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return platform::EntryType::kDirectory;
  return platform::EntryType::kFile;
}

bool IsDotEntry(const wchar_t* name) { return std::wcscmp(name, L".") == 0 || std::wcscmp(name, L"..") == 0; }

}  // namespace

bool platform::ListDirectory(const std::string& directory, std::vector<DirectoryEntry>& entries) {
  entries.clear();
  WIN32_FIND_DATAW found{};
  const FindHandle search(FindFirstFileW(WidePath(directory + "\\*").c_str(), &found));
  if (!search.ok()) return false;
  do {
    if (!IsDotEntry(found.cFileName)) entries.push_back({Utf8Text(found.cFileName), TypeOf(found.dwFileAttributes)});
  } while (FindNextFileW(search.get(), &found));
  return GetLastError() == ERROR_NO_MORE_FILES;
}
