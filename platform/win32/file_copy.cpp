// Windows backend of platform/file_copy.h.
#include "platform/file_copy.h"

#include <windows.h>

bool platform::CopyFileReplacing(const std::string& source, const std::string& target) {
  return CopyFileA(source.c_str(), target.c_str(), /*bFailIfExists=*/FALSE) != FALSE;
}
