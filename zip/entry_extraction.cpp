// Extracting entries to a destination directory, a byte buffer or a stream.
#include <functional>

#include "platform/extracted_file.h"
#include "platform/file_mode.h"
#include "platform/file_times.h"
#include "zip/device_names.h"
#include "zip/entry_index.h"
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

// The name `renames` gives the entry stored as `stored`, else that name.
std::string outputNameOf(const std::string& stored, const std::map<std::string, std::string>& renames) {
  const auto renamed = renames.find(stored);
  return renamed == renames.end() ? stored : renamed->second;
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
// are then reached by their directory position, and their data by that of
// the first entry of their name: looking each one up by name rescans the
// directory from its start, which made extraction quadratic in the number of
// entries. The index keeps only names and positions, so memory grows little
// per entry.
bool ZipReader::extractAll(const std::string& destination,
                           const std::map<std::string, std::string>& renames) {
  state_->parentOfLastFile.clear();
  bool safe = true;
  std::uint64_t needed = 0;
  const EntryIndex index(*state_, [&](const ArchiveEntry& entry) {
    const std::string relative = outputNameOf(entry.entryName, renames);
    safe = safe && IsSafeOutputName(relative);
    needed = addBytes(needed, bytesOnDisk(entry, relative));
  });
  if (!safe) return false;
  if (index.size() != 0 && !fitsFreeSpace(destination, needed)) return false;

  ExtractionUndo undo;
  for (std::size_t i = 0; i < index.size(); ++i) {
    unz64_file_pos position = index.position(i);
    if (unzGoToFilePos64(state_->handle.get(), &position) != UNZ_OK) continue;
    const ArchiveEntry entry = state_->readCurrentEntryInfo();
    unz64_file_pos first = index.firstOfName(i);
    if (first.num_of_file != position.num_of_file &&
        unzGoToFilePos64(state_->handle.get(), &first) != UNZ_OK) {
      continue;
    }
    const std::string path = outputPathOf(destination, outputNameOf(entry.entryName, renames));
    undo.noteBeforeWriting(path, entry.directory);
    if (!state_->extractCurrentEntry(entry, path)) return false;
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
// Mode and time go through the handle the file was written with, after the
// last write and before the close, which keeps them.
int ZipReaderState::writeCurrentEntryToFile(const std::string& path, const ArchiveEntry& entry) {
  const std::string parent = parentPathOf(path);
  // The parent of the previous file written holds that file: it is there.
  if (parent != parentOfLastFile) makeDirectoryPath(parent);
  const OpenedEntry opened = openCurrentEntry(entry);
  platform::ExtractedFile file(path);
  if (!file.ok()) return -1;
  parentOfLastFile = parent;
  int result = pumpOpenedEntry(opened, [&](const char* bytes, std::size_t count) {
    return file.Write(bytes, count);
  });
  platform::ApplyEntryMode(file, opened.versionMadeBy, opened.externalAttributes);
  platform::StampFileFromDosTime(file, entry.dosDateTime);
  if (!file.Close()) result = -1;
  return result == 0 ? 0 : -1;
}
