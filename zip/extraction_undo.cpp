// What an extraction created, so that a failed one can take it away again.
#include "zip/extraction_undo.h"

#include <algorithm>
#include <cstdio>

#include "platform/directory_move.h"
#include "platform/entry_type.h"
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
  for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
    if (it->isDirectory) {
      platform::RemoveEmptyDirectory(it->path);
    } else {
      std::remove(it->path.c_str());
    }
  }
}

void ExtractionUndo::noteBeforeWriting(const std::string& path, bool isDirectory) {
  if (!IsMissing(path)) return;
  std::vector<Created> missing = {{path, isDirectory}};
  for (std::string parent = parentPathOf(path); !parent.empty() && IsMissing(parent);
       parent = parentPathOf(parent)) {
    missing.push_back({parent, true});
  }
  created_.insert(created_.end(), missing.rbegin(), missing.rend());
}
