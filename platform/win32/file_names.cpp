// Windows backend of platform/file_names.h.
#include "platform/file_names.h"

#include <windows.h>

namespace {

// The name as the file system stores it: "Update.exe. " opens update.exe.
std::string FoldedName(std::string name) {
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
  // Folds in the ANSI code page, double-byte characters included.
  CharUpperBuffA(name.data(), static_cast<DWORD>(name.size()));
  return name;
}

}  // namespace

bool platform::SameFileName(const std::string& left, const std::string& right) {
  return FoldedName(left) == FoldedName(right);
}
