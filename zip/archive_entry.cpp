// One archive entry as the zip reader describes it, and its time text.
#include "zip/archive_entry.h"

#include <tuple>

namespace {

auto fieldsOf(const ArchiveEntry& entry) {
  return std::tie(entry.entryName, entry.timeText, entry.packedSize, entry.unpackedSize, entry.dosDateTime,
                  entry.dateParts, entry.directory, entry.hasUnixMode, entry.link, entry.utf8Name);
}

// Hosts of "version made by" and how each records a directory.
constexpr std::uint32_t kMsDosHost = 0;
constexpr std::uint32_t kUnixHost = 3;
constexpr std::uint32_t kNtfsHost = 10;
constexpr std::uint32_t kVfatHost = 14;
constexpr std::uint32_t kMsDosDirectoryBit = 0x10;
constexpr std::uint32_t kUnixFileTypeMask = 0170000;
constexpr std::uint32_t kUnixDirectoryType = 0040000;
constexpr std::uint32_t kUnixLinkType = 0120000;

std::uint32_t unixFileType(std::uint32_t externalAttributes) { return (externalAttributes >> 16) & kUnixFileTypeMask; }

}  // namespace

bool operator==(const ArchiveEntry& left, const ArchiveEntry& right) { return fieldsOf(left) == fieldsOf(right); }

bool operator!=(const ArchiveEntry& left, const ArchiveEntry& right) { return !(left == right); }

std::string formatTimeText(const DateParts& parts) {
  const auto [second, minute, hour, day, month, year] = parts;
  return std::to_string(year) + "-" + std::to_string(month) + "-" + std::to_string(day) + " " + std::to_string(hour) +
         ":" + std::to_string(minute) + ":" + std::to_string(second);
}

bool isDirectoryEntry(const std::string& name, std::uint32_t versionMadeBy, std::uint32_t externalAttributes) {
  if (!name.empty() && (name.back() == '/' || name.back() == '\\')) return true;
  switch (versionMadeBy >> 8) {
    case kMsDosHost:
    case kNtfsHost:
    case kVfatHost:
      return (externalAttributes & kMsDosDirectoryBit) != 0;
    case kUnixHost:
      return unixFileType(externalAttributes) == kUnixDirectoryType;
    default:
      return false;
  }
}

bool hasUnixModeEntry(std::uint32_t versionMadeBy) { return (versionMadeBy >> 8) == kUnixHost; }

bool isLinkEntry(std::uint32_t versionMadeBy, std::uint32_t externalAttributes) {
  return hasUnixModeEntry(versionMadeBy) && unixFileType(externalAttributes) == kUnixLinkType;
}

bool isValidDosDateTime(std::uint32_t dosDateTime) {
  const std::uint32_t date = dosDateTime >> 16;
  const std::uint32_t month = (date >> 5) & 0x0F;
  const std::uint32_t day = date & 0x1F;
  const std::uint32_t hour = (dosDateTime >> 11) & 0x1F;
  const std::uint32_t minute = (dosDateTime >> 5) & 0x3F;
  const std::uint32_t halfSeconds = dosDateTime & 0x1F;
  return month >= 1 && month <= 12 && day >= 1 && hour <= 23 && minute <= 59 && halfSeconds <= 29;
}
