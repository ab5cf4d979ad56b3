// Whether an archive's entries can fit where they are extracted.
#include "zip/extraction_space.h"

#include <limits>

#include "platform/disk_space.h"
#include "platform/runtime_paths.h"
#include "zip/zip_paths.h"

namespace {

// "folder/x" or "folder\x", the folder compared as the system compares names.
bool isTopLevelFileOf(const std::string& relative, const std::string& folder) {
  const std::vector<std::string> names = entryPathNames(relative);
  return names.size() == 2 && startsWithNames(names, {folder});
}

std::string NearestExistingDirectory(const std::string& destination) {
  std::string candidate = destination;
  while (!candidate.empty() && platform::RuntimeStat(candidate) != platform::PathKind::kDirectory) {
    candidate = parentPathOf(candidate);
  }
  return candidate.empty() ? "." : candidate;
}

}  // namespace

std::uint64_t bytesOnDisk(const ArchiveEntry& entry, const std::string& relative, const std::string& copiedFolder) {
  if (entry.directory) return 0;
  const bool copied = !copiedFolder.empty() && isTopLevelFileOf(relative, copiedFolder);
  return copied ? addBytes(entry.unpackedSize, entry.unpackedSize) : entry.unpackedSize;
}

std::uint64_t addBytes(std::uint64_t total, std::uint64_t more) {
  const std::uint64_t most = std::numeric_limits<std::uint64_t>::max();
  return more > most - total ? most : total + more;
}

std::optional<std::uint64_t> freeBytesFor(const std::string& destination) {
  return platform::FreeBytesOf(NearestExistingDirectory(destination));
}

ExtractionFailure lackOfRoom(const std::string& destination, std::uint64_t needed) {
  const std::optional<std::uint64_t> free = freeBytesFor(destination);
  const std::uint64_t withReserve = addBytes(needed, kFreeSpaceReserve);
  if (!free || withReserve <= *free) return {};
  return {ExtractionFailure::Kind::kNoRoom, {}, {}, 0, withReserve, *free};
}

bool fitsFreeSpace(const std::string& destination, std::uint64_t bytes) {
  return lackOfRoom(destination, bytes).kind == ExtractionFailure::Kind::kNone;
}
