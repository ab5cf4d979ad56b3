// The file one entry is extracted to: created, filled, then given the
// entry's mode and time through the handle it was written with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/extracted_file.h"

/// What an entry's file is given once written: its mode fields and its time,
/// as the archive stores them.
struct EntryFileStamp {
  std::uint32_t versionMadeBy = 0;
  std::uint32_t externalAttributes = 0;
  std::uint32_t dosDateTime = 0;
};

class EntryFile {
 public:
  /// Creates `path`, or truncates the file there.
  explicit EntryFile(const std::string& path) : file_(path) {}

  bool ok() const { return file_.ok(); }

  /// Appends all `count` bytes; false when the system takes fewer.
  bool write(const char* bytes, std::size_t count);

  /// Gives the file its mode (judged by its first bytes when the entry
  /// records none) and time, whatever was written, and closes it; false when
  /// the close reports an error.
  bool finish(const EntryFileStamp& stamp);

 private:
  platform::ExtractedFile file_;
  std::string firstBytes_;
};
