// Where an entry is written: its path below a destination, and whether a
// stored or renamed name stays inside that destination.
#include "zip/output_path.h"

#include <algorithm>

#include "platform/entry_path.h"
#include "platform/file_system.h"

namespace {

std::string withForwardSlashes(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

bool isDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Windows drops trailing dots and blanks from a path segment, so "..." and
// ".. " reach the parent as surely as "..".
bool isParentReference(const std::string& segment) {
  if (segment.find_first_not_of(". ") != std::string::npos) return false;
  return std::count(segment.begin(), segment.end(), '.') >= 2;
}

}  // namespace

bool landsInsideDestination(const std::string& relative) {
  const std::string name = withForwardSlashes(relative);
  if (name.empty() || name.front() == '/') return false;
  if (name.size() >= 2 && name[1] == ':' && isDriveLetter(name[0])) return false;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = name.find('/', start);
    if (isParentReference(name.substr(start, end - start))) return false;
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

std::string outputPathOf(const std::string& destination, const std::string& relative) {
  const std::string name = platform::EntryPathForSystem(relative);
  if (destination.empty()) return name;
  return destination + platform::kPathSeparator + name;
}
