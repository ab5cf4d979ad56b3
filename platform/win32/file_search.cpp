// Windows backend of platform/file_search.h.
#include "platform/file_search.h"

#include <windows.h>

#include "platform/win32/find_handle.h"

std::vector<std::string> platform::FindMatchingNames(const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  const FindHandle search(FindFirstFileA(pattern.c_str(), &found));
  if (!search.ok()) return names;
  do {
    names.emplace_back(found.cFileName);
  } while (FindNextFileA(search.get(), &found));
  return names;
}
