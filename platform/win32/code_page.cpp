// Windows backend of platform/code_page.h.
#include "platform/code_page.h"

#include <climits>
#include <cstring>
#include <string>

#include <windows.h>

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide text is UTF-16");

int ClampToInt(std::size_t count) { return count > INT_MAX ? INT_MAX : static_cast<int>(count); }

}  // namespace

int platform::MultiByteToUtf16(unsigned codePage, const char* text, char16_t* buffer, std::size_t bufferUnits) {
  if (text == nullptr) return 0;
  if (buffer == nullptr) {
    return MultiByteToWideChar(codePage, /*dwFlags=*/0, text, /*cbMultiByte=*/-1, nullptr, 0);
  }
  // The system writes wchar_t; our UTF-16 type is char16_t of the same size.
  std::wstring wide(bufferUnits, L'\0');
  const int written =
      MultiByteToWideChar(codePage, /*dwFlags=*/0, text, /*cbMultiByte=*/-1, wide.data(), ClampToInt(bufferUnits));
  if (written > 0) std::memcpy(buffer, wide.data(), static_cast<std::size_t>(written) * sizeof(char16_t));
  return written;
}

int platform::Utf16ToMultiByte(unsigned codePage, const char16_t* text, char* buffer, std::size_t bufferBytes) {
  if (text == nullptr) return 0;
  std::wstring wide;
  for (const char16_t* unit = text; *unit != 0; ++unit) wide.push_back(static_cast<wchar_t>(*unit));
  return WideCharToMultiByte(codePage, /*dwFlags=*/0, wide.c_str(), /*cchWideChar=*/-1, buffer,
                             buffer == nullptr ? 0 : ClampToInt(bufferBytes),
                             /*lpDefaultChar=*/nullptr, /*lpUsedDefaultChar=*/nullptr);
}
