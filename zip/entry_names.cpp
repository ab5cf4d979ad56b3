// Entry names that no system should be asked to create.
#include "zip/entry_names.h"

#include <algorithm>
#include <tuple>

#include "platform/file_names.h"
#include "util/utf.h"
#include "zip/zip_paths.h"

namespace {

// Windows drops a trailing dot or blank when it opens a name, yet creates
// one through the "\\?\" form: such a file could be made, but no ordinary
// program could open or delete it again. "." alone names the folder itself.
bool endsInDotOrBlank(const std::string& segment) {
  return !segment.empty() && segment != "." && (segment.back() == '.' || segment.back() == ' ');
}

}  // namespace

EntryRefusal refusalOfStoredName(const ArchiveEntry& entry) {
  if (entry.entryName.find('\0') != std::string::npos) return EntryRefusal::kNulInName;
  if (entry.utf8Name && !IsValidUtf8(entry.entryName)) return EntryRefusal::kNotUtf8;
  return EntryRefusal::kNone;
}

EntryRefusal refusalOfSegments(const std::string& relative) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = relative.find_first_of("/\\", start);
    const std::string segment = relative.substr(start, end - start);
    if (endsInDotOrBlank(segment)) return EntryRefusal::kEndsInDotOrBlank;
    if (!platform::FitsFileName(segment)) return EntryRefusal::kNameTooLong;
    if (end == std::string::npos) return EntryRefusal::kNone;
    start = end + 1;
  }
}

void SamePathEntries::add(std::size_t index, const std::string& relative, bool directory) {
  std::string path;
  for (const std::string& name : entryPathNames(relative)) path += platform::FoldedFileName(name) + "/";
  noted_.push_back(Noted{std::move(path), index, directory});
}

// Sorted by path and then by order, each run of one path starts with its
// first entry; the clash is at the run's second entry.
std::optional<PathClash> SamePathEntries::findClash() {
  std::sort(noted_.begin(), noted_.end(), [](const Noted& left, const Noted& right) {
    return std::tie(left.path, left.index) < std::tie(right.path, right.index);
  });
  std::optional<PathClash> first;
  for (std::size_t run = 0, next = 0; run < noted_.size(); run = next) {
    bool holdsFile = false;
    for (next = run; next < noted_.size() && noted_[next].path == noted_[run].path; ++next) {
      holdsFile = holdsFile || !noted_[next].directory;
    }
    if (next - run < 2 || !holdsFile || (first && noted_[run + 1].index >= first->later)) continue;
    first = PathClash{noted_[run + 1].index, noted_[run].index};
  }
  return first;
}
