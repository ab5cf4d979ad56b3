// Placing a tree of new files into the installation: folders moved in by
// the system and merged where it leaves them, top-level files copied.
#include <mutex>
#include <vector>

#include "install/install.h"
#include "install/parallel_tasks.h"
#include "platform/directory_listing.h"
#include "platform/directory_move.h"
#include "platform/entry_type.h"
#include "platform/file_copy.h"
#include "platform/file_system.h"
#include "platform/system_error.h"
#include "util/paths.h"

namespace {

// Notes a move the system refused, with its code; the merge's threads share it.
class FailedMoves {
 public:
  explicit FailedMoves(std::vector<FailedCopy>& moves) : moves_(moves) {}

  bool Note(const std::string& source, const std::string& target) {
    const int error = platform::LastSystemError();
    const std::lock_guard<std::mutex> lock(mutex_);
    moves_.push_back({source, target, error});
    return false;
  }

 private:
  std::vector<FailedCopy>& moves_;
  std::mutex mutex_;
};

// Moves the folder `from`, named `name`, into `intoDir` entry by entry:
// folders are merged the same way, then files and links (as links) replace
// their namesakes, spread over threads, and each source folder is removed
// once it is empty. Where the name is free, one rename moves the whole tree;
// where that fails (across file systems) the folder is rebuilt.
bool MergeInto(const std::string& from, const std::string& name, const std::string& intoDir, FailedMoves& failed) {
  const std::string target = intoDir + platform::kPathSeparator + name;
  if (!platform::IsExistingDirectory(target)) {
    if (platform::RenameEntry(from, target)) return true;
    if (!platform::MakeDirectory(target)) return failed.Note(from, target);
  }
  std::vector<platform::DirectoryEntry> entries;
  if (!platform::ListDirectory(from, entries)) return failed.Note(from, target);
  const auto sourceOf = [&from](const platform::DirectoryEntry& entry) {
    return from + platform::kPathSeparator + entry.name;
  };
  bool ok = true;
  for (const platform::DirectoryEntry& entry : entries) {
    if (entry.type == platform::EntryType::kDirectory) {
      ok = MergeInto(sourceOf(entry), entry.name, target, failed) && ok;
    }
  }
  ok = RunInParallel(entries.size(), /*stopAtFailure=*/false, [&](std::size_t i) {
         const platform::DirectoryEntry& entry = entries[i];
         if (entry.type == platform::EntryType::kDirectory) return true;
         const std::string source = sourceOf(entry);
         const std::string placed = target + platform::kPathSeparator + entry.name;
         return platform::MoveFileReplacing(source, placed) || failed.Note(source, placed);
       }) && ok;
  // A folder left with entries that could not move says so through them.
  return platform::RemoveEmptyDirectory(from) && ok;
}

// The system's own move, then the merge of what it left.
bool MoveFolderInto(const std::string& fromDir, const std::string& intoDir, void* ownerWindow, FailedMoves& failed) {
  if (fromDir.empty() || intoDir.empty()) return false;
  // Wine's shell also reports success for a source that does not exist.
  if (!platform::IsExistingDirectory(fromDir)) return false;
  switch (platform::SystemMoveDirectoryInto(fromDir, intoDir, ownerWindow)) {
    case platform::MoveOutcome::Moved:
      return true;
    case platform::MoveOutcome::Failed:
      return failed.Note(fromDir, intoDir);
    case platform::MoveOutcome::LeftToMerge:
      // Every update after the first meets a directory of that name, which
      // neither Wine's shell nor a Linux rename merges into.
      break;
  }
  return MergeInto(fromDir, FileNameOf(fromDir), intoDir, failed);
}

// Copies the top-level file `source` over `targetDir`'s file `name`; a link
// is copied as a link. A failed copy joins `failed` with the system's code.
bool CopyTopLevelFile(const std::string& source, const std::string& name, const std::string& targetDir,
                      std::vector<FailedCopy>& failed) {
  if (IsUpdaterOwnFile(name)) return true;
  const std::string target = targetDir + platform::kPathSeparator + name;
  if (platform::CopyFileReplacing(source, target)) return true;
  failed.push_back({source, target, platform::LastSystemError()});
  return false;
}

}  // namespace

bool PlaceFolder(const std::string& fromDir, const std::string& intoDir, void* ownerWindow) {
  std::vector<FailedCopy> ignored;
  FailedMoves failed(ignored);
  return MoveFolderInto(fromDir, intoDir, ownerWindow, failed);
}

// Folders are merged first and links (the extraction's own, from an archive
// made on Unix) are placed last, as links, never as what they lead to.
Placement PlaceTree(const std::string& sourceDir, const std::string& targetDir) {
  Placement placement;
  std::vector<platform::DirectoryEntry> entries;
  if (!platform::ListDirectory(sourceDir, entries)) return placement;
  placement.whole = true;
  FailedMoves failedMoves(placement.failedMoves);
  for (const platform::EntryType type :
       {platform::EntryType::kDirectory, platform::EntryType::kFile, platform::EntryType::kLink}) {
    for (const platform::DirectoryEntry& entry : entries) {
      if (entry.type != type) continue;
      const std::string source = sourceDir + platform::kPathSeparator + entry.name;
      const bool placed = type == platform::EntryType::kDirectory
                              ? MoveFolderInto(source, targetDir, /*ownerWindow=*/nullptr, failedMoves)
                              : CopyTopLevelFile(source, entry.name, targetDir, placement.failedCopies);
      placement.whole = placed && placement.whole;
    }
  }
  return placement;
}
