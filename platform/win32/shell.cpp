// Windows backend of platform/shell.h.
#include "platform/shell.h"

#include <windows.h>
#include <shellapi.h>

void platform::OpenWithShell(const std::string& path) {
  // The result is not examined: the caller logs GetLastError() instead.
  ShellExecuteA(/*hwnd=*/nullptr, "open", path.c_str(), /*lpParameters=*/nullptr,
                /*lpDirectory=*/nullptr, SW_SHOW);
}
