// Windows backend of platform/file_search.h.
#include "platform/file_search.h"

#include <windows.h>

#include "platform/win32/find_handle.h"
#include "platform/win32/wide_text.h"

std::vector<std::string> platform::FindMatchingNames(const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found{};
  const FindHandle search(FindFirstFileW(WidePath(pattern).c_str(), &found));
  if (!search.ok()) return names;
  do {
    names.push_back(Utf8Text(found.cFileName));
  } while (FindNextFileW(search.get(), &found));
  return names;
}

bool platform::FindsFile(const std::string& path) {
  WIN32_FIND_DATAW found{};
  const FindHandle search(FindFirstFileW(WidePath(path).c_str(), &found));
  return search.ok() && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}
