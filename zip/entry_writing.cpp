// Writing an extraction's checked entries, and links last.
#include "zip/entry_writing.h"

#include <algorithm>
#include <functional>
#include <thread>
#include <vector>

#include "platform/directory_listing.h"
#include "platform/entry_type.h"
#include "platform/file_system.h"
#include "platform/folder_handle.h"
#include "platform/system_error.h"
#include "zip/extraction_writers.h"
#include "zip/zip_paths.h"
#include "zip/zip_reader_state.h"

namespace {

// Below this many entries, starting writers costs more than they save.
constexpr std::size_t kFewestEntriesForWriters = 64;
constexpr std::size_t kMostWriters = 4;
// The largest entry read whole for a writer; the reader writes a larger one
// itself as it inflates.
constexpr std::uint64_t kLargestPendingEntry = 512u << 10;

// One writer per core, a few at most: creating files is the system's work.
std::size_t writerThreads() { return std::min<std::size_t>(std::thread::hardware_concurrency(), kMostWriters); }

// An update's work directory is cleared first, and the clear keeps its
// folders, so every update after the first meets them.
bool holdsOnlyFolders(const std::string& folder) {
  std::vector<platform::DirectoryEntry> listed;
  if (!platform::ListDirectory(folder, listed)) return false;
  return std::all_of(listed.begin(), listed.end(), [&](const platform::DirectoryEntry& entry) {
    return entry.type == platform::EntryType::kDirectory &&
           holdsOnlyFolders(folder + platform::kPathSeparator + entry.name);
  });
}

using EntryWrite = std::function<bool(const ArchiveEntry&, const std::string& relative)>;

// Hands every entry but the links to `write`, in the archive's order, with
// its output name, its data's entry (the first of its name) made
// current; an entry that cannot be reached is passed over. False as soon as
// `write` is.
bool writeEachEntry(const EntriesToWrite& entries, const EntryWrite& write) {
  ZipReaderState& state = entries.state;
  for (std::size_t i = 0; i < entries.index.size(); ++i) {
    if (entries.links.isLink(i)) continue;
    unz64_file_pos position = entries.index.position(i);
    if (unzGoToFilePos64(state.handle.get(), &position) != UNZ_OK) continue;
    const ArchiveEntry entry = state.readCurrentEntryInfo();
    unz64_file_pos first = entries.index.firstOfName(i);
    if (first.num_of_file != position.num_of_file && unzGoToFilePos64(state.handle.get(), &first) != UNZ_OK) {
      continue;
    }
    if (!write(entry, outputNameOf(entry.entryName, entries.renames))) return false;
  }
  return true;
}

bool extractInTurn(const EntriesToWrite& entries) {
  return writeEachEntry(entries, [&](const ArchiveEntry& entry, const std::string& relative) {
    return entries.state.extractCurrentEntry(entry, entries.folders, relative);
  });
}

// The reader inflates each entry whole and hands it to its writer. An entry
// too large to hold, or one that does not read cleanly, is written here as
// extractInTurn writes it, once every entry before it is written: what it
// fails on, and how, stays the same.
bool extractThroughWriters(const EntriesToWrite& entries, std::size_t count) {
  ExtractionWriters writers(count, entries.folders);
  if (writers.count() < 2) return extractInTurn(entries);
  ZipReaderState& state = entries.state;
  const bool read = writeEachEntry(entries, [&](const ArchiveEntry& entry, const std::string& relative) {
    PendingEntry pending{relative, entry.directory, {}, {}};
    if (entry.valid() && (entry.directory || (entry.unpackedSize <= kLargestPendingEntry &&
                                              state.readCurrentEntryWhole(entry, pending.bytes, pending.stamp)))) {
      return writers.submit(writerOf(relative, writers.count()), std::move(pending));
    }
    if (!writers.drain()) {
      state.fail(writers.failure());
      return false;
    }
    return state.extractCurrentEntry(entry, entries.folders, relative);
  });
  const bool written = writers.drain();
  if (!written) state.fail(writers.failure());
  return read && written;
}

}  // namespace

bool isEmptyDestination(const std::string& destination) {
  if (destination.empty()) return false;
  if (platform::EntryTypeOf(destination) == platform::EntryType::kMissing) return true;
  return holdsOnlyFolders(destination);
}

bool writeEntries(const EntriesToWrite& entries, bool spreadable) {
  const std::size_t writers = spreadable && entries.index.size() >= kFewestEntriesForWriters ? writerThreads() : 1;
  return writers > 1 ? extractThroughWriters(entries, writers) : extractInTurn(entries);
}

bool makeLinks(const EntriesToWrite& entries) {
  for (const PlannedLink& link : entries.links.links()) {
    std::string name;
    ExtractionFailure notMade;
    const platform::FolderHandle folder = entries.folders.parentOf(link.relative, name, notMade);
    if (folder.ok() && folder.MakeLink(name, link.target)) {
      entries.folders.noteMade(link.relative);
      entries.state.madeLinks.push_back(link.relative);
      continue;
    }
    entries.state.fail(folder.ok() ? ExtractionFolders::failureAt(folder, name, platform::LastSystemError())
                                   : std::move(notMade));
    return false;
  }
  return true;
}
