// Windows backend of platform/file_system.h.
#include "platform/file_system.h"

#include <windows.h>
#include <shlwapi.h>

const char platform::kPathSeparator[] = "\\";

std::string platform::ExecutablePath() {
  char buffer[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  buffer[MAX_PATH - 1] = '\0';
  return buffer;
}

bool platform::SetCurrentDir(const std::string& path) {
  return SetCurrentDirectoryA(path.c_str()) != FALSE;
}

std::string platform::CurrentDir() {
  char buffer[MAX_PATH] = {};
  const DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
  if (length == 0 || length >= MAX_PATH) return {};
  return buffer;
}

bool platform::IsExistingDirectory(const std::string& path) {
  return PathIsDirectoryA(path.c_str()) != FALSE;
}

bool platform::MakeDirectory(const std::string& path) {
  return CreateDirectoryA(path.c_str(), /*lpSecurityAttributes=*/nullptr) != FALSE;
}
