// What a ZipReader holds behind its header: minizip's archive handle, the
// memory copy, and the entry-level steps that extraction is built from.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "unzip.h"
#include "zip/archive_entry.h"
#include "zip/buffered_archive_file.h"
#include "zip/entry_file.h"
#include "zip/extraction_failure.h"
#include "zip/extraction_folders.h"
#include "zip/memory_archive.h"

/// Closes a minizip archive handle, and an entry left open in it.
struct ArchiveHandleCloser {
  void operator()(void* handle) const { unzClose(handle); }
};
using ArchiveHandle = std::unique_ptr<void, ArchiveHandleCloser>;

/// The current entry as opened for reading: what the copy and the written
/// file need beyond its ArchiveEntry.
struct OpenedEntry {
  std::uint64_t unpackedSize = 0;
  std::uint32_t versionMadeBy = 0;
  std::uint32_t externalAttributes = 0;
};

struct ZipReaderState {
  /// `password` is the owning reader's, which outlives this state.
  explicit ZipReaderState(const std::string& ownerPassword) : password(ownerPassword) {}

  /// Makes each entry current in central-directory order and hands it to
  /// `visit`, up to the first entry without a name or the first that cannot
  /// be reached; throws as readCurrentEntryInfo.
  void walkEntries(const std::function<void(const ArchiveEntry&)>& visit);

  /// Makes the first entry stored as `name` current: 0, or minizip's code
  /// when there is none (the current entry is then the first one or as before).
  int locateEntry(const std::string& name);

  /// Describes the current entry, its name whole; throws kEntryInfoError when
  /// minizip cannot.
  ArchiveEntry readCurrentEntryInfo();

  /// Hands the current entry to `copy`, then closes it: false when it is not
  /// described or `copy` gives a code. Throws, as opening it does, when it
  /// cannot be opened, or when the close reports a code (a CRC mismatch).
  bool readCurrentEntry(const std::function<int(const ArchiveEntry&)>& copy);

  /// Writes the current entry at the output name `relative` in `folders`: a
  /// folder for a directory entry, else a file closed with its CRC checked
  /// (a mismatch throws). False when not written, its cause noted.
  bool extractCurrentEntry(const ArchiveEntry& entry, ExtractionFolders& folders, const std::string& relative);

  /// Writes the current entry's bytes to its file at `relative` in
  /// `folders`, then its mode and time; 0 on success, -1 when the file could
  /// not be made or filled. The entry is left open for the caller to close.
  int writeCurrentEntryToFile(ExtractionFolders& folders, const std::string& relative, const ArchiveEntry& entry);

  /// Opens the current entry and copies it to `stream` in chunks:
  /// 0 when copied to its end, a negative minizip or inflate code when its
  /// data cannot be read or ends short, -1 when the stream fails.
  int copyCurrentEntryToStream(std::ostream& stream, const ArchiveEntry& entry);

  /// Reads the current entry whole into `bytes` (emptied first) and closes it
  /// with its CRC checked, for a file `stamp`ed as the entry says: true when
  /// all of it was read and checked. Never throws: an entry it cannot read
  /// is left for writeCurrentEntryToFile to fail on as it does.
  bool readCurrentEntryWhole(const ArchiveEntry& entry, std::vector<char>& bytes, EntryFileStamp& stamp);

  /// As copyCurrentEntryToStream, appending to `buffer`.
  int copyCurrentEntryToBuffer(std::vector<std::uint8_t>& buffer, const ArchiveEntry& entry);

  /// Notes why the current extraction fails, unless a cause is noted already.
  void fail(ExtractionFailure cause);

  /// Notes that the current entry's data did not read back (`code`, the
  /// library's), or that it holds more than its recorded size.
  void failDamaged(const ArchiveEntry& entry, int code);

  const std::string& password;
  /// Why the last extraction failed; reset when an extraction starts.
  ExtractionFailure failure;
  /// The output names of the links the last extraction made.
  std::vector<std::string> madeLinks;
  // Declared before the handle, so the handle is closed first.
  std::unique_ptr<MemoryArchive> memory;
  std::unique_ptr<BufferedArchiveFile> archiveFile;
  ArchiveHandle handle;

 private:
  /// Takes one chunk of an entry's bytes; false stops the copy.
  using ChunkSink = std::function<bool(const char* bytes, std::size_t count)>;

  OpenedEntry openCurrentEntry(const ArchiveEntry& entry);
  bool holdsMoreThanRecorded();
  /// Inflates the current entry, opened raw, until it ends or passes `limit`
  /// bytes: how many it gave.
  std::uint64_t inflatedSizeUpTo(std::uint64_t limit);
  /// Reads the opened entry to its end in chunks into `take`.
  int pumpOpenedEntry(const OpenedEntry& opened, const ChunkSink& take);
  int copyOpenedEntry(std::ostream& stream, const OpenedEntry& opened);

  std::vector<char> chunk;
  /// Room for the longest name the format stores, made at the first read.
  std::vector<char> nameBuffer;
};
