// POSIX backend of platform/entry_type.h.
#include "platform/entry_type.h"

#include <sys/stat.h>
#include <unistd.h>

platform::EntryType platform::EntryTypeOf(const std::string& path) {
  struct stat status {};
  if (lstat(path.c_str(), &status) != 0) return EntryType::kMissing;
  if (S_ISLNK(status.st_mode)) return EntryType::kLink;
  if (S_ISDIR(status.st_mode)) return EntryType::kDirectory;
  return EntryType::kFile;
}

bool platform::RemoveLink(const std::string& path) { return unlink(path.c_str()) == 0; }
