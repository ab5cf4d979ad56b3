// What an install placed, and taking exactly that back out.
#include "install/placed_entries.h"

#include "install/install.h"
#include "install/tree_removal.h"
#include "platform/directory_listing.h"
#include "platform/directory_move.h"
#include "platform/file_names.h"
#include "platform/file_system.h"

PlacedEntries::PlacedEntries(const std::vector<JournalRecord>& records) {
  for (const JournalRecord& record : records) {
    if (record.kind == JournalRecord::kListing) listed_ = true;
    // The target of a move aside is placed once its backup is taken.
    if (record.kind == JournalRecord::kNew || record.kind == JournalRecord::kMoveAside ||
        record.kind == JournalRecord::kPlaced) {
      placed_.insert(platform::FoldedFileName(record.path));
    }
  }
}

bool PlacedEntries::Remove(const InstallLayout& layout, const std::string& relative,
                           std::vector<std::string>& kept) const {
  const std::string path = layout.Target(relative);
  if (!listed_) return RemoveTree(path);
  return RemoveEntry(path, relative, platform::EntryTypeOf(path), kept);
}

bool PlacedEntries::RemoveEntry(const std::string& path, const std::string& relative, platform::EntryType type,
                                std::vector<std::string>& kept) const {
  if (type == platform::EntryType::kMissing) return true;
  const std::string name = relative.substr(relative.rfind(platform::kPathSeparator) + 1);
  if (placed_.count(platform::FoldedFileName(relative)) == 0 && name.rfind(kCopyPrefix, 0) != 0) {
    kept.push_back(path);
    return true;
  }
  if (type != platform::EntryType::kDirectory) return RemoveTree(path);
  std::vector<platform::DirectoryEntry> entries;
  if (!platform::ListDirectory(path, entries)) return false;
  const std::size_t keptBefore = kept.size();
  bool removed = true;
  for (const platform::DirectoryEntry& entry : entries) {
    removed = RemoveEntry(path + platform::kPathSeparator + entry.name,
                          relative + platform::kPathSeparator + entry.name, entry.type, kept) &&
              removed;
  }
  return removed && (kept.size() > keptBefore || platform::RemoveEmptyDirectory(path));
}
