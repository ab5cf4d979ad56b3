// Windows backend of platform/path_exists.h.
#include "platform/path_exists.h"

#include <windows.h>

bool platform::PathExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
