// Linux: what the /proc file system tells of one process.
#include "platform/posix/proc_entries.h"

#include <algorithm>
#include <climits>

#include <fcntl.h>
#include <unistd.h>

#include "platform/posix/unique_fd.h"

std::string platform::ProcFile(std::uint32_t id, const char* name) {
  return "/proc/" + std::to_string(id) + "/" + name;
}

bool platform::ReadLink(const std::string& link, std::string* target) {
  std::vector<char> buffer(PATH_MAX + 1);
  const ssize_t length = readlink(link.c_str(), buffer.data(), buffer.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) return false;
  target->assign(buffer.data(), static_cast<std::size_t>(length));
  return true;
}

// An update unlinks or renames over a running program; the process still
// runs the program it was started from, at that path.
bool platform::ExecutablePathOf(std::uint32_t id, std::string* path) {
  if (!ReadLink(ProcFile(id, "exe"), path)) return false;
  static const std::string kDeleted = " (deleted)";
  if (path->size() > kDeleted.size() && path->compare(path->size() - kDeleted.size(), kDeleted.size(), kDeleted) == 0) {
    path->resize(path->size() - kDeleted.size());
  }
  return true;
}

// The kernel's 15-byte name of the process would cut a script's name short.
std::vector<std::string> platform::CommandLineWords(std::uint32_t id) {
  std::vector<std::string> words;
  const UniqueFd file(open(ProcFile(id, "cmdline").c_str(), O_RDONLY | O_CLOEXEC));
  if (!file.ok()) return words;
  std::string text;
  char buffer[4096];
  for (ssize_t got; (got = read(file.get(), buffer, sizeof buffer)) > 0;)
    text.append(buffer, static_cast<std::size_t>(got));
  for (std::size_t from = 0; from < text.size();) {
    const std::size_t end = std::min(text.find('\0', from), text.size());
    words.push_back(text.substr(from, end - from));
    from = end + 1;
  }
  return words;
}
