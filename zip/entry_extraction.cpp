// Extracting entries to a destination directory, a byte buffer or a stream.
#include <fstream>
#include <functional>
#include <unordered_map>

#include "platform/file_mode.h"
#include "platform/file_times.h"
#include "platform/symbolic_link.h"
#include "zip/device_names.h"
#include "zip/extraction_space.h"
#include "zip/extraction_undo.h"
#include "zip/link_plan.h"
#include "zip/output_path.h"
#include "zip/zip_errors.h"
#include "zip/zip_paths.h"
#include "zip/zip_reader.h"
#include "zip/zip_reader_state.h"

namespace {

constexpr int kCaseSensitive = 1;

// Neither outside the destination nor a device in place of a file.
bool IsSafeOutputName(const std::string& relative) {
  return landsInsideDestination(relative) && !namesReservedDevice(relative);
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

// Reads what each link entry leads to, from the position its data is
// extracted from, and checks the plan before anything is written.
bool planLinks(ZipReaderState& state, const std::vector<ArchiveEntry>& entries,
               std::vector<unz64_file_pos>& positions, const std::vector<std::string>& relatives,
               LinkPlan& plan) {
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (!entries[i].link) continue;
    if (unzGoToFilePos64(state.handle.get(), &positions[i]) != UNZ_OK) return false;
    std::vector<std::uint8_t> target;
    const bool read = readCurrentEntry(state, [&](const ArchiveEntry& entry) {
      return entry.unpackedSize > kLongestLinkTarget ? -1 : state.copyCurrentEntryToBuffer(target, entry);
    });
    if (!read) return false;
    plan.add(i, relatives[i], std::string(target.begin(), target.end()));
  }
  return plan.allows(relatives);
}

}  // namespace

bool ZipReader::extractAll(const std::string& destination) { return extractAll(destination, {}); }

// Every output name, every link, and the room the entries need are checked
// before anything is written; a failed extraction takes away what it wrote.
// Entries are reached by the directory position that the listing recorded for
// the first entry of each name: looking each one up by name rescans the
// directory from its start, which made extraction quadratic in the number of
// entries. Links come last, so that no entry is written through one.
bool ZipReader::extractAll(const std::string& destination,
                           const std::map<std::string, std::string>& renames) {
  std::vector<unz64_file_pos> positions;
  const std::vector<ArchiveEntry> entries = state_->listEntries(&positions);

  std::vector<std::string> relatives;
  std::vector<std::string> paths;
  relatives.reserve(entries.size());
  paths.reserve(entries.size());
  std::uint64_t needed = 0;
  for (const ArchiveEntry& entry : entries) {
    const auto renamed = renames.find(entry.entryName);
    const std::string& relative = renamed == renames.end() ? entry.entryName : renamed->second;
    if (!IsSafeOutputName(relative)) return false;
    relatives.push_back(relative);
    paths.push_back(outputPathOf(destination, relative));
    needed = addBytes(needed, bytesOnDisk(entry, relative));
  }
  if (!entries.empty() && !fitsFreeSpace(destination, needed)) return false;

  std::unordered_map<std::string, std::size_t> firstOfName;
  for (std::size_t i = 0; i < entries.size(); ++i) firstOfName.emplace(entries[i].entryName, i);
  for (std::size_t i = 0; i < entries.size(); ++i) positions[i] = positions[firstOfName.at(entries[i].entryName)];

  LinkPlan links(destination, linkRoot_);
  if (platform::kMakesSymbolicLinks && !planLinks(*state_, entries, positions, relatives, links)) return false;

  ExtractionUndo undo;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (links.isLink(i) || unzGoToFilePos64(state_->handle.get(), &positions[i]) != UNZ_OK) continue;
    undo.noteBeforeWriting(paths[i], entries[i].directory);
    if (!state_->extractCurrentEntry(entries[i], paths[i])) return false;
  }
  for (const PlannedLink& link : links.links()) {
    const std::string& path = paths[link.index];
    undo.noteBeforeWriting(path, /*isDirectory=*/false);
    makeDirectoryPath(parentPathOf(path));
    if (!platform::MakeSymbolicLink(link.target, path)) return false;
  }
  undo.keep();
  return true;
}

bool ZipReader::extractOne(const std::string& name, const std::string& destination) {
  if (!IsSafeOutputName(name)) return false;
  const std::string path = outputPathOf(destination, name);
  if (state_->locateEntry(name) != UNZ_OK) return false;
  const ArchiveEntry entry = state_->readCurrentEntryInfo();
  return state_->extractCurrentEntry(entry, path);
}

bool ZipReader::readEntryToBuffer(const std::string& name, std::vector<std::uint8_t>& buffer) {
  return readNamedEntry(*state_, name, [&](const ArchiveEntry& entry) {
    return state_->copyCurrentEntryToBuffer(buffer, entry);
  });
}

bool ZipReader::readEntryToStream(const std::string& name, std::ostream& stream) {
  return readNamedEntry(*state_, name, [&](const ArchiveEntry& entry) {
    return state_->copyCurrentEntryToStream(stream, entry);
  });
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
  if (entry.directory) return makeDirectoryPath(path);
  if (writeCurrentEntryToFile(path, entry) != 0) return false;
  const int result = unzCloseCurrentFile(handle.get());
  if (result != UNZ_OK) throw closeWrittenEntryError(result, entry.entryName);
  return true;
}

// The entry is opened before its file: an entry that cannot be read leaves a
// file already at `path` as it was. A file that was opened keeps what was
// written, and gets its mode and time, even when the copy failed.
int ZipReaderState::writeCurrentEntryToFile(const std::string& path, const ArchiveEntry& entry) {
  makeDirectoryPath(parentPathOf(path));
  const OpenedEntry opened = openCurrentEntry(entry);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file.is_open()) return -1;
  int result = copyOpenedEntry(file, opened);
  file.close();
  if (file.fail()) result = -1;
  platform::ApplyEntryMode(path, opened.versionMadeBy, opened.externalAttributes);
  platform::StampFileFromDosTime(path, entry.dosDateTime);
  return result == 0 ? 0 : -1;
}
