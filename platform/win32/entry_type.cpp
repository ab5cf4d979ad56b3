// Windows backend of platform/entry_type.h.
#include "platform/entry_type.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

platform::EntryType platform::EntryTypeOf(const std::string& path) {
  const std::wstring wide = WidePath(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return EntryType::kMissing;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return EntryType::kLink;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return EntryType::kDirectory;
  return EntryType::kFile;
}

// Windows removes a directory link (symbolic link or junction) with
// RemoveDirectoryW and a file link with DeleteFileW, never their targets.
// Wine 8 does not: it follows a Unix link in both, so there a link to an
// empty directory loses its target.
bool platform::RemoveLink(const std::string& path) {
  const std::wstring wide = WidePath(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return RemoveDirectoryW(wide.c_str()) != FALSE;
  }
  return DeleteFileW(wide.c_str()) != FALSE;
}
