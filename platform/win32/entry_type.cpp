// Windows backend of platform/entry_type.h.
#include "platform/entry_type.h"

#include <windows.h>

platform::EntryType platform::EntryTypeOf(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return EntryType::kMissing;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return EntryType::kLink;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return EntryType::kDirectory;
  return EntryType::kFile;
}

// Windows removes a directory link (symbolic link or junction) with
// RemoveDirectoryA and a file link with DeleteFileA, never their targets.
// Wine 8 does not: it follows a Unix link in both, so there a link to an
// empty directory loses its target.
bool platform::RemoveLink(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return RemoveDirectoryA(path.c_str()) != FALSE;
  }
  return DeleteFileA(path.c_str()) != FALSE;
}
