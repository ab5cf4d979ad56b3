// What an extraction created, so that a failed one can take it away again.
#include "zip/extraction_undo.h"

#include <algorithm>
#include <cstdio>

#include "platform/directory_move.h"
#include "platform/entry_type.h"
#include "platform/file_open.h"
#include "platform/file_system.h"
#include "zip/zip_paths.h"

namespace {

// Paths are kept in blocks of this size, a longer one in a block of its own.
constexpr std::size_t kBlockSize = 64 * 1024;

// Only what is not there at all counts as ours to create: a link is never
// taken for missing, so what it leads to is never removed.
bool IsMissing(const std::string& path) { return platform::EntryTypeOf(path) == platform::EntryType::kMissing; }

// Entries name their folders with a separator at the end; parents come without.
std::string WithoutTrailingSeparators(std::string path) {
  while (!path.empty() && (path.back() == '/' || path.back() == platform::kPathSeparator[0])) path.pop_back();
  return path;
}

}  // namespace

// Removed newest first, so each directory is empty by the time its turn
// comes; one that is not (something else wrote into it) stays.
ExtractionUndo::~ExtractionUndo() {
  for (auto created = created_.rbegin(); created != created_.rend(); ++created) {
    if (created->isDirectory) {
      platform::RemoveEmptyDirectory(pathAt(*created));
    } else {
      platform::RemoveFile(pathAt(*created));
    }
  }
}

std::string ExtractionUndo::pathAt(const Created& created) const {
  return blocks_[created.block].substr(created.start, created.length);
}

void ExtractionUndo::note(const std::string& path, bool isDirectory, Cursor& cursor) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (blocks_.empty() || blocks_.back().capacity() - blocks_.back().size() < path.size()) {
      blocks_.emplace_back();
      blocks_.back().reserve(std::max(kBlockSize, path.size()));
    }
    std::string& block = blocks_.back();
    created_.push_back({static_cast<std::uint32_t>(blocks_.size() - 1), static_cast<std::uint32_t>(block.size()),
                        static_cast<std::uint32_t>(path.size()), isDirectory});
    block += path;
  }
  if (isDirectory) cursor.newestDirectory = WithoutTrailingSeparators(path);
}

void ExtractionUndo::noteBeforeWriting(const std::string& path, bool isDirectory, Cursor& cursor) {
  // A folder an earlier extraction left (the clear keeps folders) is not
  // ours to remove; it holds no file, so what goes into it is new.
  if (emptyDestination_ && isDirectory && !IsMissing(path)) {
    cursor.newestDirectory = WithoutTrailingSeparators(path);
    return;
  }
  const std::string parent = parentPathOf(path);
  if (cursor.newestDirectory.empty() || parent != cursor.newestDirectory) {
    if (!emptyDestination_ && !IsMissing(path)) return;
    std::vector<std::string> missingParents;
    for (std::string folder = parent; !folder.empty() && IsMissing(folder); folder = parentPathOf(folder)) {
      missingParents.push_back(folder);
    }
    for (auto folder = missingParents.rbegin(); folder != missingParents.rend(); ++folder) {
      note(*folder, true, cursor);
    }
    // Another writer may have made the folder; what goes into it is new all the same.
    if (emptyDestination_) cursor.newestDirectory = parent;
  }
  note(path, isDirectory, cursor);
}
