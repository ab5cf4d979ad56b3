// Archives for tests, written with minizip's zip interface.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

struct ZipEntrySpec {
  std::string name;      ///< entry name as stored; a trailing "/" makes a directory entry
  std::string data;      ///< contents, deflated
  unsigned mode = 0644;  ///< Unix mode bits stored with the entry (made on Unix)
};

/// The DOS stamp every entry gets: 3 July 2024, 10:05:08 local time.
constexpr int kStampYear = 2024, kStampMonth = 7, kStampDay = 3;
constexpr int kStampHour = 10, kStampMinute = 5, kStampSecond = 8;

/// Writes `entries` in order as a new archive `file`; false when minizip fails.
bool WriteZip(const std::filesystem::path& file, const std::vector<ZipEntrySpec>& entries);

}  // namespace testing_support
