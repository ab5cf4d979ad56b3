// Entry names that no system should be asked to create: a NUL inside,
// bytes that are not the UTF-8 they claim to be, a segment the system would
// change or not take, and two entries that name one path.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "zip/archive_entry.h"
#include "zip/extraction_failure.h"

/// Why the stored name of `entry` is refused, whatever it is written under:
/// a NUL inside it, or the UTF-8 flag on bytes that are not UTF-8; kNone
/// when neither applies.
EntryRefusal refusalOfStoredName(const ArchiveEntry& entry);

/// Why the relative output name `relative` is refused: a segment ending in a
/// dot or a blank, or one longer than the system takes
/// (platform::FitsFileName); kNone when neither applies.
EntryRefusal refusalOfSegments(const std::string& relative);

/// Two entries, by number in the archive's order, that name one path.
struct PathClash {
  std::size_t later = 0;
  std::size_t earlier = 0;
};

/// The output names of an extraction's entries, for finding two that name
/// one path as the system compares names (platform::FoldedFileName).
class SamePathEntries {
 public:
  /// Notes entry number `index` (counted from 0, in the archive's order),
  /// written under `relative`; `directory` as the entry is one.
  void add(std::size_t index, const std::string& relative, bool directory);

  /// The first entry, in the archive's order, that names the path of an
  /// earlier one where at least one of them is a file (two directory
  /// entries of one name make one folder), with that earlier entry; nothing
  /// when there is none.
  std::optional<PathClash> findClash();

 private:
  struct Noted {
    std::string path;  // folded segments joined by "/"
    std::size_t index;
    bool directory;
  };
  std::vector<Noted> noted_;
};
