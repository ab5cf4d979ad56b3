// Listing files: one directory by extension, or a tree through dlib.
#include "util/file_listing.h"

#include "platform/file_search.h"
#include "platform/file_system.h"

namespace {
// The search pattern and every listed path live in buffers of this size
// (terminating zero included); longer ones are refused, never cut.
constexpr std::size_t kPathBufferSize = 260;

bool FitsPathBuffer(const std::string& path) { return path.size() < kPathBufferSize; }
}  // namespace

std::vector<std::string> ListFilesByExtension(const std::string& directory, const char* extension) {
  std::vector<std::string> paths;
  // Joined with the system's separator, so that on every system the listed
  // paths name the files ("\" on Windows, as its file search expects).
  const std::string separator = platform::kPathSeparator;
  const std::string pattern = directory + separator + "*." + (extension == nullptr ? "" : extension);
  if (!FitsPathBuffer(pattern)) return paths;
  for (const std::string& name : platform::FindMatchingNames(pattern).value) {
    std::string path = directory + separator + name;
    if (FitsPathBuffer(path)) paths.push_back(std::move(path));
  }
  return paths;
}

std::vector<dlib::file> ListFilesRecursive(const std::string& directory, bool recurse) {
  std::vector<dlib::file> files;
  if (!platform::IsExistingDirectory(directory)) return files;
  const dlib::directory listed(directory);
  files = listed.get_files();
  if (!recurse) return files;
  for (const dlib::directory& sub : listed.get_dirs()) {
    std::vector<dlib::file> below = ListFilesRecursive(sub.full_name(), true);
    files.insert(files.end(), below.begin(), below.end());
  }
  return files;
}
