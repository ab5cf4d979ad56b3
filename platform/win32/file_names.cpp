// Windows backend of platform/file_names.h.
#include "platform/file_names.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace {

// The name as the file system stores it: "Update.exe. " opens update.exe.
std::wstring FoldedName(const std::string& text) {
  std::wstring name = platform::WideText(text);
  while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.pop_back();
  CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
  return name;
}

}  // namespace

bool platform::SameFileName(const std::string& left, const std::string& right) {
  return FoldedName(left) == FoldedName(right);
}

std::string platform::FoldedFileName(const std::string& name) { return Utf8Text(FoldedName(name)); }

platform::SystemRead<std::string> platform::LongNameIn(const std::string& folder, const std::string& name) {
  // Every short name the system makes holds a "~"; no other name is asked
  // about, which spares Wine a read of the whole folder per name.
  if (name.find('~') == std::string::npos) return {name};
  const std::wstring path = WidePath(folder + "\\" + name);
  std::wstring longPath(MAX_PATH, L'\0');
  DWORD length = GetLongPathNameW(path.c_str(), longPath.data(), static_cast<DWORD>(longPath.size()));
  if (length >= longPath.size()) {
    longPath.resize(length);
    length = GetLongPathNameW(path.c_str(), longPath.data(), static_cast<DWORD>(longPath.size()));
  }
  if (length == 0 || length >= longPath.size()) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {name};
    return {{}, static_cast<int>(error != 0 ? error : ERROR_INSUFFICIENT_BUFFER)};
  }
  longPath.resize(length);
  return {Utf8Text(longPath.substr(longPath.find_last_of(L"\\/") + 1))};
}

// The longest name NTFS and FAT keep, in UTF-16 units.
bool platform::FitsFileName(const std::string& name) { return WideText(name).size() <= 255; }
