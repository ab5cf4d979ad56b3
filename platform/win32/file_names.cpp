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

// The longest name NTFS and FAT keep, in UTF-16 units.
bool platform::FitsFileName(const std::string& name) { return WideText(name).size() <= 255; }
