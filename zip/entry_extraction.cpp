// Extracting entries to a destination directory, a byte buffer or a stream.
#include <algorithm>
#include <functional>
#include <thread>

#include "platform/directory_listing.h"
#include "platform/entry_type.h"
#include "platform/file_system.h"
#include "platform/symbolic_link.h"
#include "platform/system_error.h"
#include "zip/device_names.h"
#include "zip/entry_file.h"
#include "zip/entry_index.h"
#include "zip/entry_names.h"
#include "zip/extraction_space.h"
#include "zip/extraction_undo.h"
#include "zip/extraction_writers.h"
#include "zip/link_plan.h"
#include "zip/output_path.h"
#include "zip/zip_errors.h"
#include "zip/zip_paths.h"
#include "zip/zip_reader.h"
#include "zip/zip_reader_state.h"

namespace {

constexpr int kCaseSensitive = 1;

// Why the output name `relative` is refused: outside the destination, or a
// device in place of a file. Empty when it is safe.
std::string refusalOfName(const std::string& relative) {
  if (!landsInsideDestination(relative)) return "outside the destination";
  if (namesReservedDevice(relative)) return "a device name";
  return {};
}

bool IsSafeOutputName(const std::string& relative) { return refusalOfName(relative).empty(); }

// Why `entry`, written under `relative`, is refused: its stored name first,
// since a NUL hides the rest of it from every other reader.
std::string refusalOfEntry(const ArchiveEntry& entry, const std::string& relative) {
  std::string refusal = refusalOfStoredName(entry);
  if (refusal.empty()) refusal = refusalOfName(relative);
  if (refusal.empty()) refusal = refusalOfSegments(relative);
  return refusal;
}

// The name `renames` gives the entry stored as `stored`, else that name.
std::string outputNameOf(const std::string& stored, const std::map<std::string, std::string>& renames) {
  const auto renamed = renames.find(stored);
  return renamed == renames.end() ? stored : renamed->second;
}

// Below this many entries, starting writers costs more than they save.
constexpr std::size_t kFewestEntriesForWriters = 64;
constexpr std::size_t kMostWriters = 4;
// The largest entry read whole for a writer; the reader writes a larger one
// itself as it inflates.
constexpr std::uint64_t kLargestPendingEntry = 512u << 10;

// One writer per core, a few at most: creating files is the system's work.
std::size_t writerThreads() { return std::min<std::size_t>(std::thread::hardware_concurrency(), kMostWriters); }

// Nothing there for an extraction to meet but folders: no file that writers
// could overwrite out of the archive's order before another entry fails, no
// link to write through. An update's work directory is cleared first, and
// the clear keeps its folders, so every update after the first meets them.
bool holdsOnlyFolders(const std::string& folder) {
  std::vector<platform::DirectoryEntry> listed;
  if (!platform::ListDirectory(folder, listed)) return false;
  return std::all_of(listed.begin(), listed.end(), [&](const platform::DirectoryEntry& entry) {
    return entry.type == platform::EntryType::kDirectory &&
           holdsOnlyFolders(folder + platform::kPathSeparator + entry.name);
  });
}

bool isEmptyDestination(const std::string& destination) {
  if (destination.empty()) return false;
  if (platform::EntryTypeOf(destination) == platform::EntryType::kMissing) return true;
  return holdsOnlyFolders(destination);
}

// The longest name a link may hold: the system's path limit, its end excluded.
constexpr std::uint64_t kLongestLinkTarget = 4095;

// Copies the current entry with `copy` and closes it; false when the copy fails.
bool readCurrentEntry(ZipReaderState& state, const std::function<int(const ArchiveEntry&)>& copy) {
  const ArchiveEntry entry = state.readCurrentEntryInfo();
  if (!entry.valid()) return false;
  if (copy(entry) != 0) return false;
  const int result = unzCloseCurrentFile(state.handle.get());
  if (result != UNZ_OK) throw openEntryError(result, entry.entryName);
  return true;
}

// Makes the first entry stored as `name` current and reads it as
// readCurrentEntry does; false when there is no such entry.
bool readNamedEntry(ZipReaderState& state, const std::string& name,
                    const std::function<int(const ArchiveEntry&)>& copy) {
  if (state.locateEntry(name) != UNZ_OK) return false;
  return readCurrentEntry(state, copy);
}

// Reads what each link entry leads to, from the entry its data would be
// extracted from (the first of its name), and checks every link and every
// entry's path before anything is written.
bool planLinks(ZipReaderState& state, const EntryIndex& index, const std::vector<std::size_t>& linkEntries,
               const std::map<std::string, std::string>& renames, LinkPlan& plan) {
  const auto refuse = [&state](const std::string& entry, const char* reason) {
    state.fail({ExtractionFailure::Kind::kRefusedEntry, entry, reason});
    return false;
  };
  for (const std::size_t i : linkEntries) {
    const std::string name(index.name(i));
    unz64_file_pos first = index.firstOfName(i);
    if (unzGoToFilePos64(state.handle.get(), &first) != UNZ_OK) return refuse(name, "a link that cannot be read");
    std::vector<std::uint8_t> target;
    const bool read = readCurrentEntry(state, [&](const ArchiveEntry& entry) {
      return entry.unpackedSize > kLongestLinkTarget ? -1 : state.copyCurrentEntryToBuffer(target, entry);
    });
    if (!read) return refuse(name, "a link that cannot be read");
    plan.add(i, outputNameOf(name, renames), std::string(target.begin(), target.end()));
  }
  if (const PlannedLink* outside = plan.linkLeadingOutside()) {
    return refuse(std::string(index.name(outside->index)), "a link leading outside");
  }
  for (std::size_t i = 0; i < index.size(); ++i) {
    const std::string name(index.name(i));
    const std::string refusal = plan.refusalOfEntryAt(outputNameOf(name, renames));
    if (!refusal.empty()) return refuse(name, refusal.c_str());
  }
  return true;
}

// The entries of one extraction and where they go.
struct Entries {
  ZipReaderState& state;
  const EntryIndex& index;
  const std::string& destination;
  const std::map<std::string, std::string>& renames;
  const LinkPlan& links;
};

// Hands every entry but the links to `write`, in the archive's order, with
// its output name and path, its data's entry (the first of its name) made
// current; an entry that cannot be reached is passed over. False as soon as
// `write` is.
bool writeEachEntry(const Entries& entries,
                    const std::function<bool(const ArchiveEntry&, const std::string&, const std::string&)>& write) {
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
    const std::string relative = outputNameOf(entry.entryName, entries.renames);
    if (!write(entry, relative, outputPathOf(entries.destination, relative))) return false;
  }
  return true;
}

bool extractInTurn(const Entries& entries, ExtractionUndo& undo) {
  return writeEachEntry(entries, [&](const ArchiveEntry& entry, const std::string&, const std::string& path) {
    undo.noteBeforeWriting(path, entry.directory);
    return entries.state.extractCurrentEntry(entry, path);
  });
}

// The reader inflates each entry whole and hands it to its writer. An entry
// too large to hold, or one that does not read cleanly, is written here as
// extractInTurn writes it, once every entry before it is written: what it
// fails on, and how, stays the same.
bool extractThroughWriters(const Entries& entries, std::size_t count, ExtractionUndo& undo) {
  ExtractionWriters writers(count, undo);
  if (writers.count() < 2) return extractInTurn(entries, undo);
  ZipReaderState& state = entries.state;
  const bool read =
      writeEachEntry(entries, [&](const ArchiveEntry& entry, const std::string& relative, const std::string& path) {
        PendingEntry pending{path, entry.directory, {}, {}};
        if (entry.valid() && (entry.directory || (entry.unpackedSize <= kLargestPendingEntry &&
                                                  state.readCurrentEntryWhole(entry, pending.bytes, pending.stamp)))) {
          return writers.submit(writerOf(relative, writers.count()), std::move(pending));
        }
        if (!writers.drain()) {
          state.fail(writers.failure());
          return false;
        }
        undo.noteBeforeWriting(path, entry.directory);
        return state.extractCurrentEntry(entry, path);
      });
  const bool written = writers.drain();
  if (!written) state.fail(writers.failure());
  return read && written;
}

}  // namespace

bool ZipReader::extractAll(const std::string& destination) { return extractAll(destination, {}); }

// Every output name, that no two entries name one path, and the room the
// entries need are checked before anything is written; a failed extraction
// takes away what it wrote. Entries are then reached by their directory
// position, and their data by that of the first entry of their name (only
// folder entries may share one). Looking each one up by name rescans the
// directory from its start, which made extraction quadratic in the number of
// entries. The index keeps only names and positions, so memory grows little
// per entry. Links are checked with the names and made last, so that no
// entry is written through one. Into an empty destination, such as the
// cleared work directory of an update, files are created by writer threads
// while the reader inflates (extraction_writers.h).
bool ZipReader::extractAll(const std::string& destination, const std::map<std::string, std::string>& renames) {
  state_->parentOfLastFile.clear();
  state_->failure = {};
  std::string refusal;
  std::string refusedEntry;
  bool spreadable = true;
  std::uint64_t needed = 0;
  std::vector<std::size_t> linkEntries;
  std::size_t visited = 0;
  SamePathEntries paths;
  const EntryIndex index(*state_, [&](const ArchiveEntry& entry) {
    const std::string relative = outputNameOf(entry.entryName, renames);
    if (refusal.empty()) {
      refusal = refusalOfEntry(entry, relative);
      refusedEntry = entry.entryName;
    }
    paths.add(visited, relative, entry.directory);
    spreadable = spreadable && spreadsSafely(relative);
    needed = addBytes(needed, bytesOnDisk(entry, relative, installedFolder_));
    if (entry.link) linkEntries.push_back(visited);
    ++visited;
  });
  std::size_t later = 0;
  std::size_t earlier = 0;
  if (refusal.empty() && paths.findClash(later, earlier)) {
    refusedEntry = index.name(later);
    refusal = "the same path as " + std::string(index.name(earlier));
  }
  if (!refusal.empty()) {
    state_->fail({ExtractionFailure::Kind::kRefusedEntry, refusedEntry, refusal});
    return false;
  }
  const std::optional<std::uint64_t> free = freeBytesFor(destination);
  needed = addBytes(needed, kFreeSpaceReserve);
  if (index.size() != 0 && free && needed > *free) {
    state_->fail({ExtractionFailure::Kind::kNoRoom, {}, {}, 0, needed, *free});
    return false;
  }

  const bool empty = isEmptyDestination(destination);
  LinkPlan links(destination, installedFolder_, empty);
  if (platform::kMakesSymbolicLinks && !planLinks(*state_, index, linkEntries, renames, links)) return false;

  ExtractionUndo undo(empty);
  const std::size_t writers = empty && spreadable && index.size() >= kFewestEntriesForWriters ? writerThreads() : 1;
  const Entries entries{*state_, index, destination, renames, links};
  if (!(writers > 1 ? extractThroughWriters(entries, writers, undo) : extractInTurn(entries, undo))) return false;
  for (const PlannedLink& link : links.links()) {
    const std::string path = outputPathOf(destination, link.relative);
    undo.noteBeforeWriting(path, /*isDirectory=*/false);
    makeDirectoryPath(parentPathOf(path));
    if (!platform::MakeSymbolicLink(link.target, path)) {
      state_->fail({ExtractionFailure::Kind::kNotWritten, path, {}, platform::LastSystemError()});
      return false;
    }
  }
  undo.keep();
  return true;
}

bool ZipReader::extractOne(const std::string& name, const std::string& destination) {
  state_->parentOfLastFile.clear();
  if (!IsSafeOutputName(name)) return false;
  const std::string path = outputPathOf(destination, name);
  if (state_->locateEntry(name) != UNZ_OK) return false;
  const ArchiveEntry entry = state_->readCurrentEntryInfo();
  return state_->extractCurrentEntry(entry, path);
}

bool ZipReader::readEntryToBuffer(const std::string& name, std::vector<std::uint8_t>& buffer) {
  return readNamedEntry(*state_, name,
                        [&](const ArchiveEntry& entry) { return state_->copyCurrentEntryToBuffer(buffer, entry); });
}

bool ZipReader::readEntryToStream(const std::string& name, std::ostream& stream) {
  return readNamedEntry(*state_, name,
                        [&](const ArchiveEntry& entry) { return state_->copyCurrentEntryToStream(stream, entry); });
}

// unzLocateFile will not search while no entry is current, as after a listing
// that ran past the directory's end: an archive of 65535 or more entries may
// record no count to stop at. Its search starts from the first entry anyway.
int ZipReaderState::locateEntry(const std::string& name) {
  unz64_file_pos current{};
  if (unzGetFilePos64(handle.get(), &current) != UNZ_OK) unzGoToFirstFile(handle.get());
  return unzLocateFile(handle.get(), name.c_str(), kCaseSensitive);
}

bool ZipReaderState::extractCurrentEntry(const ArchiveEntry& entry, const std::string& path) {
  if (!entry.valid()) return false;
  if (entry.directory) {
    if (makeDirectoryPath(path)) return true;
    fail({ExtractionFailure::Kind::kNotWritten, path, {}, platform::LastSystemError()});
    return false;
  }
  if (writeCurrentEntryToFile(path, entry) != 0) return false;
  const int result = unzCloseCurrentFile(handle.get());
  if (result != UNZ_OK) {
    failDamaged(entry, result);
    throw closeWrittenEntryError(result, entry.entryName);
  }
  return true;
}

// The entry is opened before its file: an entry that cannot be read leaves a
// file already at `path` as it was. A file that was opened keeps what was
// written, and gets its mode and time, even when the copy failed.
int ZipReaderState::writeCurrentEntryToFile(const std::string& path, const ArchiveEntry& entry) {
  const std::string parent = parentPathOf(path);
  // The parent of the previous file written holds that file: it is there.
  if (parent != parentOfLastFile) makeDirectoryPath(parent);
  const OpenedEntry opened = openCurrentEntry(entry);
  EntryFile file(path);
  const auto notWritten = [&] {
    fail({ExtractionFailure::Kind::kNotWritten, path, {}, platform::LastSystemError()});
    return -1;
  };
  if (!file.ok()) return notWritten();
  parentOfLastFile = parent;
  bool written = true;
  const int result = pumpOpenedEntry(opened, [&](const char* bytes, std::size_t count) {
    written = file.write(bytes, count);
    return written;
  });
  if (!written) return notWritten();
  // The data that did not read back is the entry's fault, not the disk's.
  if (result != 0) failDamaged(entry, result);
  if (!file.finish({opened.versionMadeBy, opened.externalAttributes, entry.dosDateTime})) return notWritten();
  return result == 0 ? 0 : -1;
}
