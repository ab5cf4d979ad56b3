// The zip reader: one archive opened from a file or from memory, its entries
// listed and extracted. Extraction's path routines: zip/zip_paths.h.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "zip/archive_entry.h"
#include "zip/extraction_failure.h"

struct ZipReaderState;

/// Owns one open archive. Every listing and extraction moves the archive's
/// current entry, so one reader serves one thread at a time.
class ZipReader {
 public:
  /// Opens the archive file at `path`; entries with traditional encryption
  /// are decrypted with `password` (empty: none). Throws std::runtime_error "Error loading zip file!" when
  /// the file is missing, unreadable or not an archive.
  ZipReader(const std::string& path, const std::string& password);

  /// Opens a copy of all bytes of the seekable `stream`, read once here.
  /// Throws std::runtime_error "Error loading zip in memory!" when the stream
  /// fails, holds no bytes, ends early or is not an archive.
  ZipReader(std::istream& stream, const std::string& password);

  /// Opens a copy of `bytes`. Throws std::runtime_error "Error loading zip in
  /// memory!" when they are empty or not an archive.
  ZipReader(const std::vector<std::uint8_t>& bytes, const std::string& password);

  ~ZipReader();
  ZipReader(const ZipReader&) = delete;
  ZipReader& operator=(const ZipReader&) = delete;

  /// Every entry in central-directory order, up to the first one without a
  /// name or the first that cannot be reached; empty when closed. Throws
  /// std::runtime_error "Error, couln't get the current entry info" when an
  /// entry cannot be described. Names come whole, of any stored length.
  std::vector<ArchiveEntry> listEntries();

  /// Describes the archive's current entry; throws like listEntries.
  ArchiveEntry readCurrentEntryInfo();

  /// Closes the archive and frees the memory copy; later calls do nothing.
  void closeArchive();

  /// Names the top-level folder of the destination that the caller installs
  /// elsewhere (relative, such as "update"). Where links are made (Linux),
  /// extractAll then makes only links that lead to a place inside it, not
  /// merely inside the destination; its top-level files count twice in the
  /// space check, as the caller copies them rather than moves them. Empty,
  /// as at first: links stay inside the destination, every file counts once.
  void setInstalledFolder(const std::string& folder) { installedFolder_ = folder; }

  /// Same as extractAll(destination, {}).
  bool extractAll(const std::string& destination);

  /// Writes every entry below `destination` (or the current directory when it
  /// is empty), under the output name `renames` gives for its stored name, if
  /// any: directories for directory entries, files stamped with the entry's
  /// time otherwise, empty ones included. Where the system makes links (Linux),
  /// a link entry made on Unix becomes a symbolic link, made after every
  /// other entry. False, with nothing written, when an output name would leave
  /// the destination or names a Windows device, when the recorded sizes do
  /// not fit the destination's free space (see fitsFreeSpace), or when a link
  /// would lead outside (see setInstalledFolder), an entry would be written
  /// through a link of the archive or one already on disk; false at the first
  /// entry that cannot be written. After a
  /// false result or a throw, what this call created is removed. Throws std::runtime_error "Error <code>
  /// opening internal file '<name>' in zip" for an entry that cannot be opened
  /// (encrypted while the reader has no password: -102; a method other than
  /// stored or deflate: -103), and
  /// "Error <code> openinginternal file '<name>' in zip" when closing a written
  /// entry reports a code (-105 for a CRC mismatch, as a wrong password may
  /// give; the file stays).
  bool extractAll(const std::string& destination, const std::map<std::string, std::string>& renames);

  /// Why the last extractAll returned false or threw; Kind::kNone after one
  /// that succeeded, and after a throw whose text tells all there is.
  const ExtractionFailure& lastFailure() const;

  /// The output names of the links the last extractAll made (where the
  /// system makes links); empty after one that failed.
  const std::vector<std::string>& madeLinks() const;

  /// Writes the first entry stored as `name` below `destination`, as
  /// extractAll does; false when there is none or the name would leave the
  /// destination or names a device. What it wrote stays after a failure.
  /// Throws like extractAll.
  bool extractOne(const std::string& name, const std::string& destination);

  /// Appends the bytes of the first entry stored as `name` to `buffer`; false
  /// when there is none or its data cannot be read. Throws like extractAll,
  /// with " opening internal file '" also when the close reports a code, and
  /// std::length_error for an entry of more than 2147483647 bytes.
  bool readEntryToBuffer(const std::string& name, std::vector<std::uint8_t>& buffer);

  /// Writes the bytes of the first entry stored as `name` to `stream`; false
  /// when there is none, its data cannot be read or the stream fails. Throws
  /// like readEntryToBuffer.
  bool readEntryToStream(const std::string& name, std::ostream& stream);

 private:
  void openMemory(std::vector<std::uint8_t> bytes);

  std::string archivePath_;
  std::string password_;
  std::string installedFolder_;
  bool open_ = false;
  std::unique_ptr<ZipReaderState> state_;
};
