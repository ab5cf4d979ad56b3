// Whether anything stands at a path of the installation, and removing it.
#include "install/tree_removal.h"

#include <cstdio>
#include <vector>

#include "platform/directory_listing.h"
#include "platform/directory_move.h"
#include "platform/entry_type.h"
#include "platform/file_open.h"
#include "platform/file_system.h"
#include "platform/folder_handle.h"

namespace {

bool RemoveEntry(const std::string& path, platform::EntryType type);

// Empties the folder `path`, then removes it.
bool RemoveFolder(const std::string& path) {
  std::vector<platform::DirectoryEntry> entries;
  if (!platform::ListDirectory(path, entries)) return false;
  for (const platform::DirectoryEntry& entry : entries) {
    RemoveEntry(path + platform::kPathSeparator + entry.name, entry.type);
  }
  return platform::RemoveEmptyDirectory(path);
}

bool RemoveEntry(const std::string& path, platform::EntryType type) {
  switch (type) {
    case platform::EntryType::kMissing:
      return true;
    case platform::EntryType::kLink:
      return platform::RemoveLink(path);
    case platform::EntryType::kFile:
      return platform::RemoveFile(path);
    case platform::EntryType::kDirectory:
      break;
  }
  return RemoveFolder(path);
}

}  // namespace

bool StandsAt(const std::string& path) { return platform::EntryTypeOf(path) != platform::EntryType::kMissing; }

bool RemoveTree(const std::string& path) { return RemoveEntry(path, platform::EntryTypeOf(path)); }

bool RemoveTreeIn(const platform::FolderHandle& parent, const std::string& name) {
  const platform::EntryType type = parent.TypeOf(name);
  if (type == platform::EntryType::kMissing) return true;
  if (type != platform::EntryType::kDirectory) return parent.Remove(name, /*folder=*/false);
  const platform::FolderHandle folder = parent.Child(name);
  std::vector<platform::DirectoryEntry> entries;
  if (!folder.List(entries)) return false;
  for (const platform::DirectoryEntry& entry : entries) RemoveTreeIn(folder, entry.name);
  return parent.Remove(name, /*folder=*/true);
}
