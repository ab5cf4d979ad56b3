// Windows backend of platform/entry_path.h.
#include "platform/entry_path.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

std::string platform::EntryPathForSystem(std::string name) { return name; }

std::string platform::EntryNameText(std::string stored, bool utf8Flag) {
  if (utf8Flag || stored.empty()) return stored;
  const int units =
      MultiByteToWideChar(CP_ACP, /*dwFlags=*/0, stored.data(), static_cast<int>(stored.size()), nullptr, 0);
  if (units <= 0) return stored;
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_ACP, /*dwFlags=*/0, stored.data(), static_cast<int>(stored.size()), wide.data(), units);
  return Utf8Text(wide);
}
