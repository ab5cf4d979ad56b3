// What an install placed, and taking exactly that back out.
#include "install/placed_entries.h"
#include "install/install_paths.h"

#include "install/install.h"
#include "install/tree_removal.h"
#include "platform/file_copy.h"
#include "platform/file_names.h"
#include "platform/file_system.h"
#include "platform/folder_handle.h"

PlacedEntries::PlacedEntries(const std::vector<JournalRecord>& records) {
  for (const JournalRecord& record : records) {
    if (record.kind == JournalRecord::kListing) listed_ = true;
    if (record.kind == JournalRecord::kCopies) copyPrefixes_.push_back(platform::CopyPrefixOf(record.path));
    // The target of a move aside is placed once its backup is taken.
    if (record.kind == JournalRecord::kNew || record.kind == JournalRecord::kMoveAside ||
        record.kind == JournalRecord::kPlaced) {
      placed_.insert(platform::FoldedFileName(record.path));
    }
  }
}

bool PlacedEntries::Remove(const InstallFolders& folders, const std::string& relative,
                           std::vector<std::string>& kept) const {
  std::string name;
  const platform::FolderHandle parent = folders.OpenParent(relative, name);
  if (!parent.ok()) return true;
  if (!listed_) return RemoveTreeIn(parent, name);
  return RemoveEntry(parent, name, relative, parent.TypeOf(name), kept);
}

bool PlacedEntries::RemoveEntry(const platform::FolderHandle& parent, const std::string& name,
                                const std::string& relative, platform::EntryType type,
                                std::vector<std::string>& kept) const {
  if (type == platform::EntryType::kMissing) return true;
  if (placed_.count(platform::FoldedFileName(relative)) == 0 && !IsOwnCopy(name)) {
    kept.push_back(parent.PathOf(name));
    return true;
  }
  if (type != platform::EntryType::kDirectory) return RemoveTreeIn(parent, name);
  const platform::FolderHandle folder = parent.Child(name);
  std::vector<platform::DirectoryEntry> entries;
  if (!folder.List(entries)) return false;
  const std::size_t keptBefore = kept.size();
  bool removed = true;
  for (const platform::DirectoryEntry& entry : entries) {
    removed = RemoveEntry(folder, entry.name, JoinPath(relative, entry.name), entry.type, kept) && removed;
  }
  return removed && (kept.size() > keptBefore || parent.Remove(name, /*folder=*/true));
}

bool PlacedEntries::IsOwnCopy(const std::string& name) const {
  for (const std::string& prefix : copyPrefixes_) {
    if (name.rfind(prefix, 0) == 0) return true;
  }
  return false;
}
