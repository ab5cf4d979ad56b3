// Windows backend of platform/shell.h.
#include "platform/shell.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/win32/wide_text.h"

namespace {

// The shell takes plain paths only, and not past MAX_PATH: a longer path is
// handed over in its short (8.3) form, which the system makes for each long
// name. Where the volume keeps no short names, the start fails and the log
// shows the code.
std::wstring ShellPath(const std::string& path) {
  const std::wstring plain = platform::WideText(path);
  if (platform::FitsPlainPath(plain)) return plain;
  const std::wstring shortPath = platform::ShortPlainPath(path);
  return shortPath.empty() ? plain : shortPath;
}

}  // namespace

void platform::OpenWithShell(const std::string& path, const std::vector<EnvironmentVariable>& variables) {
  // The shell starts the program with this process's environment; the
  // updater ends right after, so its own copy may change.
  for (const EnvironmentVariable& variable : variables) {
    SetEnvironmentVariableW(WideText(variable.name).c_str(), WideText(variable.value).c_str());
  }
  const HINSTANCE started = ShellExecuteW(/*hwnd=*/nullptr, L"open", ShellPath(path).c_str(),
                                          /*lpParameters=*/nullptr, /*lpDirectory=*/nullptr, SW_SHOW);
  // A start that worked may leave the code of a step the shell tried first.
  if (reinterpret_cast<INT_PTR>(started) > 32) SetLastError(ERROR_SUCCESS);
}
