// Windows backends only: UTF-8 to UTF-16 and back, and the "\\?\" form of long paths.
#include "platform/win32/wide_text.h"

#include <algorithm>
#include <climits>
#include <vector>

#include <windows.h>

namespace {

// A directory is created by a plain path of at most 247 characters (room is
// kept for an 8.3 file name below it); a file's plain path may have 259. The
// shorter bound serves both: beyond it a path takes the "\\?\" form, which
// the system hands on without the 260-character limit (and without removing
// "." and ".." or turning "/" into "\", so the full path is made first).
constexpr std::size_t kLongestPlainPath = MAX_PATH - 12 - 1;

int ClampToInt(std::size_t count) { return count > INT_MAX ? INT_MAX : static_cast<int>(count); }

bool StartsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

std::wstring FullPath(const std::wstring& path) {
  const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::vector<wchar_t> full(needed, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return path;
  return std::wstring(full.data(), length);
}

}  // namespace

std::wstring platform::WideText(const std::string& text) {
  if (text.empty()) return {};
  const int units =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), ClampToInt(text.size()), nullptr, 0);
  if (units <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), ClampToInt(text.size()), wide.data(), units);
  return wide;
}

std::string platform::Utf8Text(const std::wstring& text) {
  if (text.empty()) return {};
  const int bytes = WideCharToMultiByte(CP_UTF8, /*dwFlags=*/0, text.data(), ClampToInt(text.size()), nullptr, 0,
                                        /*lpDefaultChar=*/nullptr, /*lpUsedDefaultChar=*/nullptr);
  if (bytes <= 0) return {};
  std::string narrow(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, /*dwFlags=*/0, text.data(), ClampToInt(text.size()), narrow.data(), bytes,
                      /*lpDefaultChar=*/nullptr, /*lpUsedDefaultChar=*/nullptr);
  return narrow;
}

std::string platform::Utf8Text(const wchar_t* text) {
  return text == nullptr ? std::string() : Utf8Text(std::wstring(text));
}

bool platform::FitsPlainPath(const std::wstring& path) { return path.size() <= kLongestPlainPath; }

std::wstring platform::WidePath(const std::string& path) {
  std::wstring wide = WideText(path);
  // The system reads a "\\?\" path as it stands: the "/" that joins an entry's
  // name would be part of a file name there, so it becomes "\".
  if (StartsWith(wide, L"\\\\?\\")) {
    std::replace(wide.begin() + 4, wide.end(), L'/', L'\\');
    return wide;
  }
  if (FitsPlainPath(wide) || StartsWith(wide, L"\\\\.\\")) return wide;
  const std::wstring full = FullPath(wide);
  if (StartsWith(full, L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

std::wstring platform::ShortPlainPath(const std::string& path) {
  const std::wstring extended = WidePath(path);
  const DWORD needed = GetShortPathNameW(extended.c_str(), nullptr, 0);
  if (needed == 0) return {};
  std::vector<wchar_t> buffer(needed, L'\0');
  const DWORD length = GetShortPathNameW(extended.c_str(), buffer.data(), needed);
  if (length == 0) return {};
  if (length >= needed) {
    // Renamed between the two calls.
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return {};
  }
  std::wstring shortPath(buffer.data(), length);
  if (StartsWith(shortPath, L"\\\\?\\UNC\\")) return L"\\\\" + shortPath.substr(8);
  if (StartsWith(shortPath, L"\\\\?\\")) shortPath.erase(0, 4);
  return shortPath;
}
