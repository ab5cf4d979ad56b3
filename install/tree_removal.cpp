// Whether anything stands at a path of the installation, and removing it.
#include "install/tree_removal.h"

#include <vector>

#include "install/held_retry.h"
#include "install/install_paths.h"
#include "platform/folder_handle.h"

bool StandsAt(const std::string& path) { return platform::EntryTypeOf(path) != platform::EntryType::kMissing; }

namespace {

// Removes `name` of `parent`, waiting while another program holds it.
bool RemoveHeld(const platform::FolderHandle& parent, const std::string& name, bool folder) {
  return RetryWhileHeld(parent.PathOf(name), [&] { return parent.Remove(name, folder); });
}

// What a removal did below one entry.
struct Removal {
  bool removed = true;  // everything not kept is gone
  bool kept = false;    // something stays
};

// Each folder is listed once and its entries taken by the listing's type; a
// folder goes once everything in it is gone, as the system removes no other.
Removal RemoveWalk(const platform::FolderHandle& parent, const std::string& name, platform::EntryType type,
                   const std::string& relative, const KeepsEntry& keeps) {
  if (type == platform::EntryType::kMissing) return {};
  if (keeps && keeps(parent, name, relative)) return {true, true};
  if (type != platform::EntryType::kDirectory) return {RemoveHeld(parent, name, /*folder=*/false), false};
  const platform::FolderHandle folder = parent.Child(name);
  std::vector<platform::DirectoryEntry> entries;
  if (!folder.List(entries)) return {false, false};
  Removal below;
  for (const platform::DirectoryEntry& entry : entries) {
    const Removal one = RemoveWalk(folder, entry.name, entry.type, JoinPath(relative, entry.name), keeps);
    below.removed = one.removed && below.removed;
    below.kept = below.kept || one.kept;
  }
  if (below.kept) return below;
  return {RemoveHeld(parent, name, /*folder=*/true) && below.removed, false};
}

}  // namespace

bool RemoveTreeIn(const platform::FolderHandle& parent, const std::string& name) {
  return RemoveTreeKeeping(parent, name, parent.TypeOf(name), name, nullptr);
}

bool RemoveTreeKeeping(const platform::FolderHandle& parent, const std::string& name, platform::EntryType type,
                       const std::string& relative, const KeepsEntry& keeps) {
  return RemoveWalk(parent, name, type, relative, keeps).removed;
}
