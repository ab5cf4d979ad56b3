// Extracting entries to a destination directory, a byte buffer or a stream.
#include <fstream>
#include <functional>
#include <unordered_map>

#include "platform/file_mode.h"
#include "platform/file_times.h"
#include "zip/device_names.h"
#include "zip/extraction_space.h"
#include "zip/extraction_undo.h"
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

// Makes the first entry stored as `name` current, copies it with `copy` and
// closes it; false when there is no such entry or the copy fails.
bool readNamedEntry(ZipReaderState& state, const std::string& name,
                    const std::function<int(const ArchiveEntry&)>& copy) {
  if (state.locateEntry(name) != UNZ_OK) return false;
  const ArchiveEntry entry = state.readCurrentEntryInfo();
  if (!entry.valid()) return false;
  if (copy(entry) != 0) return false;
  const int result = unzCloseCurrentFile(state.handle.get());
  if (result != UNZ_OK) throw openEntryError(result, entry.entryName);
  return true;
}

}  // namespace

bool ZipReader::extractAll(const std::string& destination) { return extractAll(destination, {}); }

// Every output name, and the room the entries need, is checked before
// anything is written; a failed extraction takes away what it wrote. Entries
// are reached by the directory position that the listing recorded for the
// first entry of each name: looking each one up by name rescans the
// directory from its start, which made extraction quadratic in the number of
// entries.
bool ZipReader::extractAll(const std::string& destination,
                           const std::map<std::string, std::string>& renames) {
  std::vector<unz64_file_pos> positions;
  const std::vector<ArchiveEntry> entries = state_->listEntries(&positions);

  std::vector<std::string> paths;
  paths.reserve(entries.size());
  std::uint64_t needed = 0;
  for (const ArchiveEntry& entry : entries) {
    const auto renamed = renames.find(entry.entryName);
    const std::string& relative = renamed == renames.end() ? entry.entryName : renamed->second;
    if (!IsSafeOutputName(relative)) return false;
    paths.push_back(outputPathOf(destination, relative));
    needed = addBytes(needed, bytesOnDisk(entry, relative));
  }
  if (!entries.empty() && !fitsFreeSpace(destination, needed)) return false;

  std::unordered_map<std::string, std::size_t> firstOfName;
  for (std::size_t i = 0; i < entries.size(); ++i) firstOfName.emplace(entries[i].entryName, i);

  ExtractionUndo undo;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    unz64_file_pos position = positions[firstOfName.at(entries[i].entryName)];
    if (unzGoToFilePos64(state_->handle.get(), &position) != UNZ_OK) continue;
    undo.noteBeforeWriting(paths[i], entries[i].directory);
    if (!state_->extractCurrentEntry(entries[i], paths[i])) return false;
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
