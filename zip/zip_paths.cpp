// The path routines of extraction: directory trees, parents, tidied paths.
#include "zip/zip_paths.h"

#include <algorithm>
#include <utility>

#include "platform/entry_path.h"
#include "platform/file_names.h"
#include "platform/file_system.h"
#include "platform/runtime_paths.h"
#include "platform/system_error.h"

namespace {

using platform::PathKind;

bool isSeparator(char c) { return c == '/' || c == '\\'; }

// The runtime's status query fails for "C:\dir\" on Windows, so a directory
// entry's own path would not count as present. Roots keep their separator.
std::string withoutTrailingSeparator(const std::string& path) {
  if (path.size() < 2 || !isSeparator(path.back()) || path[path.size() - 2] == ':') return path;
  return path.substr(0, path.size() - 1);
}

void collapseDoubledSlashes(std::string& path) {
  for (std::size_t at = path.find("//", 1); at != std::string::npos; at = path.find("//", at)) {
    path.erase(at, 1);
  }
}

void removeCurrentDirectorySegments(std::string& path) {
  for (std::size_t at = path.find("/./"); at != std::string::npos; at = path.find("/./")) {
    path.erase(at, 2);
  }
}

// Backwards from the end: a "/../" preceded by "/name" loses "/name/..", then
// the search starts again from the new end; one preceded by another "/../"
// moves the search there; one with no "/" before it ends the folding.
void foldParentReferences(std::string& path) {
  std::size_t parent = path.rfind("/../");
  while (parent != std::string::npos && parent != 0) {
    const std::size_t before = path.rfind('/', parent - 1);
    if (before == std::string::npos) return;
    if (path.compare(before, 4, "/../") != 0) {
      path.erase(before, parent - before + 3);
      parent = path.rfind("/../");
    } else {
      parent = path.rfind("/../", before);
    }
  }
}

}  // namespace

// A directory that another writer of the same extraction made between the
// first query and the creation counts as made.
bool makeDirectoryPath(const std::string& path) {
  const std::string queried = withoutTrailingSeparator(path);
  const auto isWritableDirectory = [&queried] {
    return platform::RuntimeStat(queried) == PathKind::kDirectory && platform::RuntimeCanWrite(queried);
  };
  if (isWritableDirectory()) return true;
  const std::string tidy = tidyPath(path);
  const std::string parent = parentPathOf(tidy);
  if (!parent.empty()) {
    const PathKind kind = platform::RuntimeStat(parent);
    // A folder above that cannot be made is the cause, with its own code.
    if (kind != PathKind::kDirectory && kind != PathKind::kRegularFile && !makeDirectoryPath(parent)) return false;
  }
  if (platform::RuntimeMakeDirectory(tidy)) return true;
  const int refused = platform::LastSystemError();
  if (isWritableDirectory()) return true;  // made meanwhile, by another writer
  // Still missing: the system's refusal to make it says why, not the look after it.
  if (platform::IsMissingError(platform::LastSystemError())) platform::SetLastSystemError(refused);
  return false;
}

std::string parentPathOf(const std::string& path) {
  if (path.empty()) return {};
  const std::string separators = std::string(platform::kPathSeparator) + "/";
  std::size_t at = path.find_last_of(separators);
  if (at == path.size() - 1) at = at == 0 ? std::string::npos : path.find_last_of(separators, at - 1);
  if (at == std::string::npos) return {};
  return path.substr(0, at);
}

std::string tidyPath(const std::string& path) {
  std::string tidy = path;
  std::replace(tidy.begin(), tidy.end(), '\\', '/');
  while (tidy.compare(0, 2, "./") == 0) tidy.erase(0, 2);
  collapseDoubledSlashes(tidy);
  removeCurrentDirectorySegments(tidy);
  foldParentReferences(tidy);
  return tidy;
}

std::vector<std::string> pathSegments(const std::string& path) {
  std::vector<std::string> segments;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = path.find('/', start);
    std::string segment = path.substr(start, end - start);
    if (!segment.empty() && segment != ".") segments.push_back(std::move(segment));
    if (end == std::string::npos) return segments;
    start = end + 1;
  }
}

std::vector<std::string> entryPathNames(const std::string& entryName) {
  return pathSegments(tidyPath(platform::EntryPathForSystem(entryName)));
}

bool startsWithNames(const std::vector<std::string>& names, const std::vector<std::string>& prefix) {
  if (names.size() < prefix.size()) return false;
  return std::equal(prefix.begin(), prefix.end(), names.begin(), platform::SameFileName);
}
