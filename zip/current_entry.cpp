// Finding the current entry by name, reading it through a copy, and writing
// it into its held folder; its bytes are copied out by entry_copy.cpp.
#include <utility>

#include "zip/zip_errors.h"
#include "zip/zip_paths.h"
#include "zip/zip_reader_state.h"

namespace {

constexpr int kCaseSensitive = 1;

}  // namespace

// unzLocateFile will not search while no entry is current, as after a listing
// that ran past the directory's end: an archive of 65535 or more entries may
// record no count to stop at. Its search starts from the first entry anyway.
int ZipReaderState::locateEntry(const std::string& name) {
  unz64_file_pos current{};
  if (unzGetFilePos64(handle.get(), &current) != UNZ_OK) unzGoToFirstFile(handle.get());
  return unzLocateFile(handle.get(), name.c_str(), kCaseSensitive);
}

bool ZipReaderState::readCurrentEntry(const std::function<int(const ArchiveEntry&)>& copy) {
  const ArchiveEntry entry = readCurrentEntryInfo();
  if (!entry.valid()) return false;
  if (copy(entry) != 0) return false;
  const int result = unzCloseCurrentFile(handle.get());
  if (result != UNZ_OK) throw openEntryError(result, entry.entryName);
  return true;
}

bool ZipReaderState::extractCurrentEntry(const ArchiveEntry& entry, ExtractionFolders& folders,
                                         const std::string& relative) {
  if (!entry.valid()) return false;
  if (entry.directory) {
    ExtractionFailure notMade;
    if (folders.makeFolder(relative, notMade)) return true;
    fail(std::move(notMade));
    return false;
  }
  if (writeCurrentEntryToFile(folders, relative, entry) != 0) return false;
  const int result = unzCloseCurrentFile(handle.get());
  if (result != UNZ_OK) {
    failDamaged(entry, result);
    throw closeWrittenEntryError(result, entry.entryName);
  }
  return true;
}

// The entry is opened before its file: an entry that cannot be read leaves a
// file already there as it was. A file that was opened keeps what was
// written, and gets its mode and time, even when the copy failed.
int ZipReaderState::writeCurrentEntryToFile(ExtractionFolders& folders, const std::string& relative,
                                            const ArchiveEntry& entry) {
  const OpenedEntry opened = openCurrentEntry(entry);
  EntryFile file(folders, relative);
  if (!file.ok()) {
    fail(file.failed());
    return -1;
  }
  bool written = true;
  const int result = pumpOpenedEntry(opened, [&](const char* bytes, std::size_t count) {
    written = file.write(bytes, count);
    return written;
  });
  if (!written) {
    fail(file.failed());
    return -1;
  }
  // The data that did not read back is the entry's fault, not the disk's.
  if (result != 0) failDamaged(entry, result);
  if (!file.finish({opened.versionMadeBy, opened.externalAttributes, entry.dosDateTime})) {
    fail(file.failed());
    return -1;
  }
  return result == 0 ? 0 : -1;
}
