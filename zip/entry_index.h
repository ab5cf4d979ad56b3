// The entries an extraction walks, kept small: every stored name, and where
// in the central directory its entry and the first entry of that name sit.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "unzip.h"
#include "zip/archive_entry.h"

struct ZipReaderState;

/// About 16 bytes and the name's own bytes per entry: an archive of 20,000
/// entries is indexed in well under a megabyte.
class EntryIndex {
 public:
  /// Walks the archive's entries as ZipReader::listEntries does, with its end
  /// and its errors, handing each to `visit` as it goes; leaves the current
  /// entry where the walk ended.
  EntryIndex(ZipReaderState& state, const std::function<void(const ArchiveEntry&)>& visit);

  std::size_t size() const { return slots_.size(); }
  std::string_view name(std::size_t i) const;
  /// Where entry `i` sits, for unzGoToFilePos64.
  unz64_file_pos position(std::size_t i) const;
  /// Where the first entry stored under the name of entry `i` sits.
  unz64_file_pos firstOfName(std::size_t i) const;

 private:
  struct Slot {
    ZPOS64_T directoryOffset;
    std::uint32_t nameEnd;      // in names_, where the next name starts
    std::uint32_t firstOfName;  // the number of the first entry of this name
  };

  void findFirstOfEachName();

  std::string names_;  // every name, one after the other
  std::vector<Slot> slots_;
};
