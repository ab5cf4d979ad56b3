// Windows backend of tests/support/short_name.h.
#include "tests/support/short_name.h"

#include <windows.h>

std::string testing_support::ShortNameOf(const std::filesystem::path& path) {
  wchar_t buffer[MAX_PATH] = {};
  const DWORD length = GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  const std::string name = std::filesystem::path(std::wstring(buffer, length)).filename().u8string();
  return name == path.filename().u8string() ? std::string() : name;
}
