// One archive entry as the zip reader describes it, and its time text.
#include "zip/archive_entry.h"

#include <tuple>

namespace {

auto fieldsOf(const ArchiveEntry& entry) {
  return std::tie(entry.entryName, entry.timeText, entry.packedSize, entry.unpackedSize,
                  entry.dosDateTime, entry.dateParts);
}

}  // namespace

bool operator==(const ArchiveEntry& left, const ArchiveEntry& right) {
  return fieldsOf(left) == fieldsOf(right);
}

bool operator!=(const ArchiveEntry& left, const ArchiveEntry& right) { return !(left == right); }

std::string formatTimeText(const DateParts& parts) {
  const auto [second, minute, hour, day, month, year] = parts;
  return std::to_string(year) + "-" + std::to_string(month) + "-" + std::to_string(day) + " " +
         std::to_string(hour) + ":" + std::to_string(minute) + ":" + std::to_string(second);
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
