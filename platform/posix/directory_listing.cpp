// POSIX backend of platform/directory_listing.h: the type comes from the
// directory entry itself where the file system records it there.
#include "platform/directory_listing.h"

#include <cerrno>
#include <cstring>

#include <dirent.h>

#include "platform/posix/unique_dir.h"

namespace {

platform::EntryType TypeOf(const dirent& entry, const std::string& directory) {
  switch (entry.d_type) {
    case DT_LNK:
      return platform::EntryType::kLink;
    case DT_DIR:
      return platform::EntryType::kDirectory;
    case DT_UNKNOWN:
      return platform::EntryTypeOf(directory + "/" + entry.d_name);
    default:
      return platform::EntryType::kFile;
  }
}

bool IsDotEntry(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

}  // namespace

bool platform::ListDirectory(const std::string& directory, std::vector<DirectoryEntry>& entries) {
  entries.clear();
  const UniqueDir dir(directory);
  if (dir.get() == nullptr) return false;
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(dir.get());
    if (entry == nullptr) return errno == 0;
    if (IsDotEntry(entry->d_name)) continue;
    const EntryType type = TypeOf(*entry, directory);
    // An entry removed between the listing and its status query is no longer there.
    if (type != EntryType::kMissing) entries.push_back({entry->d_name, type});
  }
}
