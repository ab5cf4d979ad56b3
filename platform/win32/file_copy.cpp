// Windows backend of platform/file_copy.h.
#include "platform/file_copy.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

bool platform::CopyFileReplacing(const std::string& source, const std::string& target) {
  return CopyFileW(WidePath(source).c_str(), WidePath(target).c_str(), /*bFailIfExists=*/FALSE) != FALSE;
}
