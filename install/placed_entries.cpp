// What an install placed, and taking exactly that back out.
#include "install/placed_entries.h"

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

// Only what the journal lists goes, and the copies staged beside their
// targets (platform::kCopyPrefix), which no user saves.
bool PlacedEntries::Remove(const InstallFolders& folders, const std::string& relative,
                           std::vector<std::string>& kept) const {
  std::string name;
  const platform::FolderHandle parent = folders.OpenParent(relative, name);
  if (!parent.ok()) return true;
  if (!listed_) return RemoveTreeIn(parent, name);
  return RemoveTreeKeeping(
      parent, name, parent.TypeOf(name), relative,
      [&](const platform::FolderHandle& folder, const std::string& entry, const std::string& path) {
        if (placed_.count(platform::FoldedFileName(path)) != 0 || IsOwnCopy(entry)) {
          return false;
        }
        kept.push_back(folder.PathOf(entry));
        return true;
      });
}

bool PlacedEntries::IsOwnCopy(const std::string& name) const {
  for (const std::string& prefix : copyPrefixes_) {
    if (name.rfind(prefix, 0) == 0) return true;
  }
  return false;
}
