// Whether anything stands at a path of the installation, and removing it.
#include "install/tree_removal.h"

#include <vector>

#include "platform/entry_type.h"
#include "platform/folder_handle.h"

bool StandsAt(const std::string& path) { return platform::EntryTypeOf(path) != platform::EntryType::kMissing; }

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
