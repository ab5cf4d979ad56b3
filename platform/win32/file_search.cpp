// Windows backend of platform/file_search.h.
#include "platform/file_search.h"

#include <windows.h>

#include "platform/win32/find_handle.h"
#include "platform/win32/wide_text.h"

platform::SystemRead<std::vector<std::string>> platform::FindMatchingNames(const std::string& pattern) {
  SystemRead<std::vector<std::string>> names;
  WIN32_FIND_DATAW found{};
  const FindHandle search(FindFirstFileW(WidePath(pattern).c_str(), &found));
  if (!search.ok()) {
    // The search answers "not found" for a folder that is there but holds no match.
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND) names.error = static_cast<int>(error);
    return names;
  }
  do {
    names.value.push_back(Utf8Text(found.cFileName));
  } while (FindNextFileW(search.get(), &found));
  if (GetLastError() != ERROR_NO_MORE_FILES) names.error = static_cast<int>(GetLastError());
  return names;
}

bool platform::FindsFile(const std::string& path) {
  WIN32_FIND_DATAW found{};
  const FindHandle search(FindFirstFileW(WidePath(path).c_str(), &found));
  return search.ok() && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}
