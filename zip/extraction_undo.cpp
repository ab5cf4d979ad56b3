// What an extraction created, so that a failed one can take it away again.
#include "zip/extraction_undo.h"

#include <algorithm>
#include <cstdio>

#include "platform/directory_move.h"
#include "platform/entry_type.h"
#include "platform/file_system.h"
#include "zip/zip_paths.h"

namespace {

// Only what is not there at all counts as ours to create: a link is never
// taken for missing, so what it leads to is never removed.
bool IsMissing(const std::string& path) {
  return platform::EntryTypeOf(path) == platform::EntryType::kMissing;
}

}  // namespace

// Removed newest first, so each directory is empty by the time its turn
// comes; one that is not (something else wrote into it) stays.
ExtractionUndo::~ExtractionUndo() {
  for (std::size_t i = created_.size(); i-- > 0;) {
    if (created_[i].isDirectory) {
      platform::RemoveEmptyDirectory(pathAt(i));
    } else {
      std::remove(pathAt(i).c_str());
    }
  }
}

std::string ExtractionUndo::pathAt(std::size_t i) const {
  const std::size_t start = i == 0 ? 0 : created_[i - 1].pathEnd;
  return paths_.substr(start, created_[i].pathEnd - start);
}

void ExtractionUndo::note(const std::string& path, bool isDirectory, Cursor& cursor) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    paths_ += path;
    created_.push_back({paths_.size(), isDirectory});
  }
  if (!isDirectory) return;
  std::string& newest = cursor.newestDirectory;
  newest = path;
  // Entries name their folders with a separator at the end; parents come without.
  while (!newest.empty() && (newest.back() == '/' || newest.back() == platform::kPathSeparator[0])) {
    newest.pop_back();
  }
}

void ExtractionUndo::noteBeforeWriting(const std::string& path, bool isDirectory, Cursor& cursor) {
  if (cursor.newestDirectory.empty() || parentPathOf(path) != cursor.newestDirectory) {
    if (!IsMissing(path)) return;
    std::vector<std::string> missingParents;
    for (std::string parent = parentPathOf(path); !parent.empty() && IsMissing(parent);
         parent = parentPathOf(parent)) {
      missingParents.push_back(parent);
    }
    for (auto parent = missingParents.rbegin(); parent != missingParents.rend(); ++parent) {
      note(*parent, true, cursor);
    }
  }
  note(path, isDirectory, cursor);
}
