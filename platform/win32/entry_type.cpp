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

// A link to a directory is removed like an empty directory and a link to a
// file like a file; neither call reaches the target. Which of the two a link
// is depends on how it was made, so the second is tried when the first fails.
bool platform::RemoveLink(const std::string& path) {
  return RemoveDirectoryA(path.c_str()) != FALSE || DeleteFileA(path.c_str()) != FALSE;
}
