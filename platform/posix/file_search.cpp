// POSIX backend of platform/file_search.h: a walk over the directory with the
// Windows wildcard rules, so a pattern matches the same names on both systems.
#include "platform/file_search.h"

#include <cctype>
#include <cerrno>

#include <climits>
#include <cstdlib>

#include <dirent.h>
#include <sys/stat.h>

#include "platform/posix/unique_dir.h"

namespace {

bool SameLetter(char a, char b) {
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

// "*" matches any run of characters, "?" exactly one; on a mismatch the
// latest "*" takes one more character and matching resumes after it.
bool Matches(const std::string& pattern, const std::string& name) {
  std::size_t p = 0;
  std::size_t n = 0;
  std::size_t star = std::string::npos;
  std::size_t starName = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || (pattern[p] != '*' && SameLetter(pattern[p], name[n])))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      starName = n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// Windows lets a final ".*" also match a name without any dot ("*.*" is everything).
bool MatchesLikeWindows(const std::string& pattern, const std::string& name) {
  if (Matches(pattern, name)) return true;
  const std::size_t size = pattern.size();
  return size >= 2 && pattern.compare(size - 2, 2, ".*") == 0 && name.find('.') == std::string::npos &&
         Matches(pattern.substr(0, size - 2), name);
}

}  // namespace

platform::SystemRead<std::vector<std::string>> platform::FindMatchingNames(const std::string& pattern) {
  SystemRead<std::vector<std::string>> names;
  // The search splits where Windows does: at the last "\" or "/". A pattern
  // rooted at the separator searches the root, as on the current drive there.
  const std::size_t split = pattern.find_last_of("\\/");
  std::string directory = ".";
  if (split != std::string::npos) directory = split == 0 ? "/" : pattern.substr(0, split);
  const std::string namePattern = split == std::string::npos ? pattern : pattern.substr(split + 1);

  const platform::UniqueDir dir(directory);
  if (dir.get() == nullptr) return {{}, errno};
  errno = 0;
  while (const dirent* entry = readdir(dir.get())) {
    if (MatchesLikeWindows(namePattern, entry->d_name)) names.value.emplace_back(entry->d_name);
  }
  names.error = errno;
  return names;
}

// As the directory library the update has always asked: the resolved path
// must fit PATH_MAX, and its status must be no directory.
bool platform::FindsFile(const std::string& path) {
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) == nullptr) return false;
  struct stat status {};
  return stat(resolved, &status) == 0 && !S_ISDIR(status.st_mode);
}
