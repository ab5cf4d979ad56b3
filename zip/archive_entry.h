// One archive entry as the zip reader describes it, and its time text.
#pragma once

#include <array>
#include <cstdint>
#include <string>

/// Second, minute, hour, day, month (January is 0), full year.
using DateParts = std::array<std::uint32_t, 6>;

/// One entry of an archive, copied out of its central directory.
struct ArchiveEntry {
  std::string entryName;  ///< as stored (see platform::EntryNameText), separators included
  std::string timeText;   ///< the stamp as "2024-6-3 10:5:8" (month from 0)
  std::uint64_t packedSize = 0;
  std::uint64_t unpackedSize = 0;
  std::uint32_t dosDateTime = 0;  ///< MS-DOS stamp: date in the high 16 bits, time in the low
  DateParts dateParts{};
  bool directory = false;    ///< as isDirectoryEntry judges it; every other entry is a file
  bool hasUnixMode = false;  ///< made on Unix: its external attributes hold a Unix mode
  bool link = false;         ///< a symbolic link made on Unix: its data names what it leads to
  bool utf8Name = false;     ///< stored with the UTF-8 flag (bit 11): its name must be UTF-8

  /// True when the entry has a name.
  bool valid() const { return !entryName.empty(); }
};

bool operator==(const ArchiveEntry& left, const ArchiveEntry& right);
bool operator!=(const ArchiveEntry& left, const ArchiveEntry& right);

/// `parts` written as year-month-day hour:minute:second, each number in plain
/// decimal without leading zeros, the month as stored (from 0).
std::string formatTimeText(const DateParts& parts);

/// True when the entry `name` is a directory: its name ends in "/" or "\", or
/// its external attributes say so, read as the system it was made on
/// (`versionMadeBy`'s high byte) writes them: the MS-DOS directory bit for
/// MS-DOS, Windows NTFS and VFAT, the Unix file type for Unix. An entry of
/// size 0 is no directory for its size alone: empty files are files.
bool isDirectoryEntry(const std::string& name, std::uint32_t versionMadeBy, std::uint32_t externalAttributes);

/// True when the entry was made on Unix (`versionMadeBy`'s high byte is 3),
/// so that the top half of its external attributes holds a Unix mode.
bool hasUnixModeEntry(std::uint32_t versionMadeBy);

/// True when the entry was made on Unix and its Unix file type is a symbolic link.
bool isLinkEntry(std::uint32_t versionMadeBy, std::uint32_t externalAttributes);

/// True when `dosDateTime` names a real calendar date and time of day
/// (month 1 to 12, day 1 to 31, hour to 23, minute to 59, seconds field to 29).
bool isValidDosDateTime(std::uint32_t dosDateTime);
