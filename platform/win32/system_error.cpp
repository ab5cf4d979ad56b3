// Windows backend of platform/system_error.h.
#include "platform/system_error.h"

#include <windows.h>

#include "platform/win32/final_path.h"

int platform::LastSystemError() { return static_cast<int>(GetLastError()); }

void platform::SetLastSystemError(int code) { SetLastError(static_cast<DWORD>(code)); }

bool platform::IsOtherVolumeError(int code) { return code == ERROR_NOT_SAME_DEVICE; }

bool platform::IsMissingError(int code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

bool platform::IsLinkMetError(int code) { return code == static_cast<int>(kReparsePointEncountered); }
