// Windows backend of platform/console.h.
#include "platform/console.h"

#include <cstdio>
#include <string>

#include <windows.h>

bool platform::PrintColoured(const char* text, std::uint16_t attribute) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  CONSOLE_SCREEN_BUFFER_INFO info;
  // Fails for a redirected or missing standard output: only a console gets colours.
  if (out == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(out, &info)) return false;
  SetConsoleTextAttribute(out, attribute);
  std::printf("%s", text);
  // The text must reach the console while the colour is still set.
  std::fflush(stdout);
  SetConsoleTextAttribute(out, info.wAttributes);
  return true;
}

// `text` is in the ANSI code page, as the console shows it.
void platform::SendToDebugger(const char* text) {
  const int units = MultiByteToWideChar(CP_ACP, /*dwFlags=*/0, text, /*cbMultiByte=*/-1, nullptr, 0);
  if (units <= 0) return;
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_ACP, /*dwFlags=*/0, text, /*cbMultiByte=*/-1, wide.data(), units);
  OutputDebugStringW(wide.c_str());
}
