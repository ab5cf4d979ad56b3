// Windows backend of platform/file_copy.h.
#include "platform/file_copy.h"

#include <windows.h>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

// The copy is on the disk before the install commits to it: a volume cannot
// be flushed whole here (see disk_flush.h).
bool platform::CopyFileReplacing(const std::string& source, const std::string& target) {
  if (CopyFileW(WidePath(source).c_str(), WidePath(target).c_str(), /*bFailIfExists=*/FALSE) == FALSE) return false;
  const UniqueHandle copy(CreateFileW(WidePath(target).c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      /*lpSecurityAttributes=*/nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                      /*hTemplateFile=*/nullptr));
  return copy.ok() && FlushFileBuffers(copy.get()) != FALSE;
}
