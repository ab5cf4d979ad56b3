// Placing a tree of new files into the installation: folders moved in by
// the system and merged where it leaves them, top-level files copied.
#include <mutex>
#include <vector>

#include "install/held_retry.h"
#include "install/install_paths.h"
#include "install/parallel_tasks.h"
#include "install/tree_placement.h"
#include "platform/directory_listing.h"
#include "platform/directory_move.h"
#include "platform/entry_type.h"
#include "platform/file_copy.h"
#include "platform/file_names.h"
#include "platform/file_system.h"
#include "platform/folder_handle.h"
#include "platform/system_error.h"
#include "util/paths.h"

namespace {

// Notes a move the system refused, with its code, and a link that is not
// placed; the merge's threads share it.
class FailedMoves {
 public:
  FailedMoves(std::vector<FailedMove>& moves, std::vector<std::string>& refusedLinks,
              const std::vector<std::string>* ownLinks)
      : moves_(moves), refusedLinks_(refusedLinks), ownLinks_(ownLinks) {}

  bool Note(const std::string& source, const std::string& target) {
    const int error = platform::LastSystemError();
    const std::lock_guard<std::mutex> lock(mutex_);
    moves_.push_back({source, target, error});
    return false;
  }

  // Only the links the extraction made are placed: one it did not make was
  // planted in the new tree, and leads wherever its planter chose.
  bool PlacesLink(const std::string& relative, const std::string& source) {
    if (ownLinks_ == nullptr) return true;
    for (const std::string& own : *ownLinks_) {
      if (platform::SameFileName(own, relative)) return true;
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    refusedLinks_.push_back(source);
    return false;
  }

  // Whether every link in the folder `name` of `parent` (the installation's
  // `relative`), just moved in whole from `source`, is one the extraction
  // made: a link planted inside a folder moved whole would move in with it.
  // Once there, nobody who could write only the work folder can plant one.
  bool MovedInWithOwnLinks(const platform::FolderHandle& parent, const std::string& name, const std::string& relative,
                           const std::string& source) {
    if (ownLinks_ == nullptr) return true;
    const platform::FolderHandle folder = parent.Child(name);
    std::vector<platform::DirectoryEntry> entries;
    if (!folder.List(entries)) return Note(source, parent.PathOf(name));
    bool own = true;
    for (const platform::DirectoryEntry& entry : entries) {
      const std::string below = JoinPath(relative, entry.name);
      const std::string from = JoinPath(source, entry.name);
      if (entry.type == platform::EntryType::kDirectory) {
        own = MovedInWithOwnLinks(folder, entry.name, below, from) && own;
      } else if (entry.type == platform::EntryType::kLink) {
        own = PlacesLink(below, from) && own;
      }
    }
    return own;
  }

 private:
  std::vector<FailedMove>& moves_;
  std::vector<std::string>& refusedLinks_;
  const std::vector<std::string>* ownLinks_;
  std::mutex mutex_;
};

// Moves the folder `name` of `fromParent` into `into`, the installation's
// `relative` folder, entry by entry: folders are merged the same way, then
// files and links (as links) replace their namesakes, spread over threads,
// and each source folder is removed once it is empty. Where the name is
// free, one rename moves the whole tree; where that fails (across file
// systems) the folder is rebuilt.
bool MergeInto(const platform::FolderHandle& fromParent, const std::string& name, const platform::FolderHandle& into,
               const std::string& relative, const InstallFolders& folders, FailedMoves& failed) {
  const std::string from = fromParent.PathOf(name);
  platform::FolderHandle target = folders.Child(into, relative, name);
  if (!target.ok()) {
    if (!folders.swappedSincePlan().empty()) return failed.Note(from, into.PathOf(name));
    if (fromParent.Rename(name, into, name)) return failed.MovedInWithOwnLinks(into, name, relative, from);
    if (!into.MakeFolder(name)) return failed.Note(from, into.PathOf(name));
    target = folders.Child(into, relative, name);
  }
  const platform::FolderHandle source = fromParent.Child(name);
  std::vector<platform::DirectoryEntry> entries;
  if (!target.ok() || !source.List(entries)) return failed.Note(from, into.PathOf(name));
  bool ok = true;
  for (const platform::DirectoryEntry& entry : entries) {
    if (entry.type == platform::EntryType::kDirectory) {
      ok = MergeInto(source, entry.name, target, JoinPath(relative, entry.name), folders, failed) && ok;
    }
  }
  ok = RunInParallel(entries.size(), /*stopAtFailure=*/false,
                     [&](std::size_t i) {
                       const platform::DirectoryEntry& entry = entries[i];
                       if (entry.type == platform::EntryType::kDirectory) return true;
                       if (entry.type == platform::EntryType::kLink &&
                           !failed.PlacesLink(JoinPath(relative, entry.name), source.PathOf(entry.name))) {
                         return false;
                       }
                       return RetryWhileHeld(target.PathOf(entry.name),
                                             [&] { return source.Replace(entry.name, target, entry.name); }) ||
                              failed.Note(source.PathOf(entry.name), target.PathOf(entry.name));
                     }) &&
       ok;
  // A folder left with entries that could not move says so through them.
  return fromParent.Remove(name, /*folder=*/true) && ok;
}

// The system's own move, then the merge of what it left.
bool MoveFolderInto(const std::string& fromDir, const InstallFolders& folders, void* ownerWindow, FailedMoves& failed) {
  const platform::FolderHandle into = folders.Open({});
  if (fromDir.empty() || !into.ok()) return false;
  // Wine's shell also reports success for a source that does not exist.
  if (!platform::IsExistingDirectory(fromDir)) return false;
  switch (platform::SystemMoveDirectoryInto(fromDir, into.path(), ownerWindow)) {
    case platform::MoveOutcome::Moved:
      return failed.MovedInWithOwnLinks(into, FileNameOf(fromDir), FileNameOf(fromDir), fromDir);
    case platform::MoveOutcome::Failed:
      return failed.Note(fromDir, into.path());
    case platform::MoveOutcome::LeftToMerge:
      // Every update after the first meets a directory of that name, which
      // neither Wine's shell nor a Linux rename merges into.
      break;
  }
  const std::string name = FileNameOf(fromDir);
  const platform::FolderHandle fromParent =
      platform::FolderHandle::Open(fromDir.substr(0, fromDir.size() - name.size() - 1));
  return MergeInto(fromParent, name, into, name, folders, failed);
}

// Copies the top-level file `source` over `targetDir`'s file `name`; a link
// is copied as a link. A failed copy joins `failed` with the system's code.
bool CopyTopLevelFile(const std::string& source, const std::string& name, const std::string& targetDir,
                      std::vector<FailedCopy>& failed) {
  if (IsUpdaterOwnFile(name)) return true;
  const std::string target = JoinPath(targetDir, name);
  if (RetryWhileHeld(target, [&] { return platform::CopyFileReplacing(source, target); })) return true;
  failed.push_back({source, target, platform::LastSystemError()});
  return false;
}

}  // namespace

bool PlaceFolder(const std::string& fromDir, const std::string& intoDir, void* ownerWindow) {
  std::vector<FailedMove> ignored;
  std::vector<std::string> noLinks;
  FailedMoves failed(ignored, noLinks, nullptr);
  return !intoDir.empty() && MoveFolderInto(fromDir, InstallFolders(intoDir), ownerWindow, failed);
}

Placement PlaceTree(const std::string& sourceDir, const std::string& targetDir) {
  return PlaceTreeInto(sourceDir, InstallFolders(targetDir), nullptr);
}

// Folders are merged first and links (the extraction's own, from an archive
// made on Unix) are placed last, as links, never as what they lead to.
Placement PlaceTreeInto(const std::string& sourceDir, const InstallFolders& folders,
                        const std::vector<std::string>* ownLinks) {
  Placement placement;
  std::vector<platform::DirectoryEntry> entries;
  const platform::FolderHandle root = folders.Open({});
  if (!root.ok() || !platform::ListDirectory(sourceDir, entries)) return placement;
  placement.whole = true;
  FailedMoves failedMoves(placement.failedMoves, placement.refusedLinks, ownLinks);
  for (const platform::EntryType type :
       {platform::EntryType::kDirectory, platform::EntryType::kFile, platform::EntryType::kLink}) {
    for (const platform::DirectoryEntry& entry : entries) {
      if (entry.type != type) continue;
      const std::string source = JoinPath(sourceDir, entry.name);
      const bool placed = type == platform::EntryType::kDirectory
                              ? MoveFolderInto(source, folders, /*ownerWindow=*/nullptr, failedMoves)
                              : (type != platform::EntryType::kLink || failedMoves.PlacesLink(entry.name, source)) &&
                                    CopyTopLevelFile(source, entry.name, root.path(), placement.failedCopies);
      placement.whole = placed && placement.whole;
    }
  }
  return placement;
}
