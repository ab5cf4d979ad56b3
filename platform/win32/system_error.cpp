// Windows backend of platform/system_error.h.
#include "platform/system_error.h"

#include <windows.h>

#include "platform/win32/final_path.h"
#include "platform/win32/wide_text.h"

int platform::LastSystemError() { return static_cast<int>(GetLastError()); }

void platform::SetLastSystemError(int code) { SetLastError(static_cast<DWORD>(code)); }

bool platform::IsOtherVolumeError(int code) { return code == ERROR_NOT_SAME_DEVICE; }

bool platform::IsMissingError(int code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

bool platform::IsLinkMetError(int code) { return code == static_cast<int>(kReparsePointEncountered); }

// Access denied also answers for a read-only file or a folder, which no wait
// changes; only a writable file is waited for.
bool platform::IsHeldError(int code, const std::string& path) {
  if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION) return true;
  if (code != ERROR_ACCESS_DENIED) return false;
  const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}
