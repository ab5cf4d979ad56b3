// The driver's installation of one directory of new files into the application's directory.
#include "UpGrade/directory_move.h"

#include <vector>

#include "UpGrade/spread_steps.h"
#include "platform/directory_listing.h"
#include "platform/directory_move.h"
#include "platform/file_system.h"
#include "util/paths.h"

namespace {

// Moves the folder `from`, named `name`, into `intoDir` entry by entry:
// folders are merged the same way, then files and links (as links) replace
// their namesakes, spread over threads, and each source folder is removed
// once it is empty. Where the name is free, one rename moves the whole tree;
// where that fails (across file systems) the folder is rebuilt.
bool MergeInto(const std::string& from, const std::string& name, const std::string& intoDir) {
  const std::string target = intoDir + platform::kPathSeparator + name;
  if (!platform::IsExistingDirectory(target)) {
    if (platform::RenameDirectory(from, target)) return true;
    if (!platform::MakeDirectory(target)) return false;
  }
  std::vector<platform::DirectoryEntry> entries;
  if (!platform::ListDirectory(from, entries)) return false;
  const auto sourceOf = [&from](const platform::DirectoryEntry& entry) {
    return from + platform::kPathSeparator + entry.name;
  };
  bool ok = true;
  for (const platform::DirectoryEntry& entry : entries) {
    if (entry.type == platform::EntryType::kDirectory) ok = MergeInto(sourceOf(entry), entry.name, target) && ok;
  }
  ok = SpreadSteps(entries.size(), /*stopAtFailure=*/false, [&](std::size_t i) {
         const platform::DirectoryEntry& entry = entries[i];
         return entry.type == platform::EntryType::kDirectory ||
                platform::MoveFileReplacing(sourceOf(entry), target + platform::kPathSeparator + entry.name);
       }) && ok;
  return platform::RemoveEmptyDirectory(from) && ok;
}

}  // namespace

bool MoveDirectoryInto(const std::string& fromDir, const std::string& intoDir, void* ownerWindow) {
  if (fromDir.empty() || intoDir.empty()) return false;
  // Wine's shell also reports success for a source that does not exist.
  if (!platform::IsExistingDirectory(fromDir)) return false;
  switch (platform::SystemMoveDirectoryInto(fromDir, intoDir, ownerWindow)) {
    case platform::MoveOutcome::Moved:
      return true;
    case platform::MoveOutcome::Failed:
      return false;
    case platform::MoveOutcome::LeftToMerge:
      // Every update after the first meets a directory of that name, which
      // neither Wine's shell nor a Linux rename merges into.
      break;
  }
  return MergeInto(fromDir, FileNameOf(fromDir), intoDir);
}
