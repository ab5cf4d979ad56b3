// Whether an archive's entries can fit where they are extracted.
#include "zip/extraction_space.h"

#include <cctype>
#include <limits>
#include <optional>

#include "platform/disk_space.h"
#include "platform/runtime_paths.h"
#include "zip/zip_paths.h"

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// "update/x" or "update\x", the folder compared as Windows compares names.
bool IsTopLevelUpdateFile(const std::string& relative) {
  const std::string folder = "update";
  if (relative.size() <= folder.size() + 1 || !IsSeparator(relative[folder.size()])) return false;
  for (std::size_t i = 0; i < folder.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(relative[i])) != folder[i]) return false;
  }
  const std::size_t rest = folder.size() + 1;
  return relative.find_first_of("/\\", rest) == std::string::npos;
}

std::string NearestExistingDirectory(const std::string& destination) {
  std::string candidate = destination;
  while (!candidate.empty() && platform::RuntimeStat(candidate) != platform::PathKind::kDirectory) {
    candidate = parentPathOf(candidate);
  }
  return candidate.empty() ? "." : candidate;
}

}  // namespace

std::uint64_t bytesOnDisk(const ArchiveEntry& entry, const std::string& relative) {
  if (entry.directory) return 0;
  return IsTopLevelUpdateFile(relative) ? addBytes(entry.unpackedSize, entry.unpackedSize)
                                        : entry.unpackedSize;
}

std::uint64_t addBytes(std::uint64_t total, std::uint64_t more) {
  const std::uint64_t most = std::numeric_limits<std::uint64_t>::max();
  return more > most - total ? most : total + more;
}

bool fitsFreeSpace(const std::string& destination, std::uint64_t bytes) {
  const std::optional<std::uint64_t> free = platform::FreeBytesOf(NearestExistingDirectory(destination));
  return !free || addBytes(bytes, kFreeSpaceReserve) <= *free;
}
