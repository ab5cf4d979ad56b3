// The file one entry is extracted to: made in its folder, never through a
// link, filled, then given the entry's mode and time through the handle it
// was written with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/extracted_file.h"
#include "platform/folder_handle.h"
#include "zip/extraction_failure.h"
#include "zip/extraction_folders.h"

/// What an entry's file is given once written: its mode fields and its time,
/// as the archive stores them.
struct EntryFileStamp {
  std::uint32_t versionMadeBy = 0;
  std::uint32_t externalAttributes = 0;
  std::uint32_t dosDateTime = 0;
};

class EntryFile {
 public:
  /// Makes the file of the output name `relative` in `folders` (see
  /// ExtractionFolders::exclusive for a file already there), noted there as
  /// made when it is new.
  EntryFile(ExtractionFolders& folders, const std::string& relative);

  bool ok() const { return file_.ok(); }

  /// Why the file could not be made, or why the last call on it failed.
  ExtractionFailure failed() const;

  /// Appends all `count` bytes; false when the system takes fewer.
  bool write(const char* bytes, std::size_t count);

  /// Gives the file its mode (judged by its first bytes when the entry
  /// records none) and time, whatever was written, and closes it; false when
  /// the close reports an error.
  bool finish(const EntryFileStamp& stamp);

 private:
  std::string name_;
  ExtractionFailure notMade_;
  platform::FolderHandle folder_;
  bool isNew_;
  platform::ExtractedFile file_;
  std::string firstBytes_;
};
