// The entries an extraction walks, kept small.
#include "zip/entry_index.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <stdexcept>

#include "zip/zip_errors.h"
#include "zip/zip_reader_state.h"

namespace {

// The archive's own count only sizes the first allocation; a count a hostile
// archive inflates reserves address space, never touched pages.
constexpr ZPOS64_T kLargestReservation = 1u << 20;

}  // namespace

EntryIndex::EntryIndex(ZipReaderState& state, const std::function<void(const ArchiveEntry&)>& visit) {
  unz_global_info64 global{};
  if (unzGetGlobalInfo64(state.handle.get(), &global) == UNZ_OK) {
    slots_.reserve(static_cast<std::size_t>(std::min(global.number_entry, kLargestReservation)));
  }
  state.walkEntries([&](const ArchiveEntry& entry) {
    visit(entry);
    unz64_file_pos position{};
    unzGetFilePos64(state.handle.get(), &position);
    names_ += entry.entryName;
    if (names_.size() > std::numeric_limits<std::uint32_t>::max()) {
      throw std::runtime_error(kEntryInfoError);
    }
    // minizip numbers the entries in walk order from 0; the first of each
    // name is found once every name is known.
    slots_.push_back(Slot{position.pos_in_zip_directory, static_cast<std::uint32_t>(names_.size()),
                          static_cast<std::uint32_t>(slots_.size())});
  });
  findFirstOfEachName();
}

// Entry numbers sorted by name, equal names by number: the first of each run
// of equal names is the first entry stored under that name.
void EntryIndex::findFirstOfEachName() {
  std::vector<std::uint32_t> byName(slots_.size());
  std::iota(byName.begin(), byName.end(), 0u);
  std::sort(byName.begin(), byName.end(), [&](std::uint32_t left, std::uint32_t right) {
    const int order = name(left).compare(name(right));
    return order < 0 || (order == 0 && left < right);
  });
  for (std::size_t i = 1; i < byName.size(); ++i) {
    if (name(byName[i]) == name(byName[i - 1])) {
      slots_[byName[i]].firstOfName = slots_[byName[i - 1]].firstOfName;
    }
  }
}

std::string_view EntryIndex::name(std::size_t i) const {
  const std::size_t start = i == 0 ? 0 : slots_[i - 1].nameEnd;
  return std::string_view(names_).substr(start, slots_[i].nameEnd - start);
}

unz64_file_pos EntryIndex::position(std::size_t i) const { return unz64_file_pos{slots_[i].directoryOffset, i}; }

unz64_file_pos EntryIndex::firstOfName(std::size_t i) const { return position(slots_[i].firstOfName); }
