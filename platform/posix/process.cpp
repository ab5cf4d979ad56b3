// POSIX backend of platform/process.h: the /proc file system and signals.
#include "platform/process.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <vector>

#include <dirent.h>
#include <unistd.h>

#include "platform/posix/unique_dir.h"

namespace {

// /proc holds one numeric directory per process (threads are not listed).
bool ParseProcessId(const char* name, std::uint32_t* id) {
  if (*name < '1' || *name > '9') return false;
  char* end = nullptr;
  errno = 0;
  const unsigned long value = std::strtoul(name, &end, 10);
  if (errno != 0 || *end != '\0' || value > INT_MAX) return false;
  *id = static_cast<std::uint32_t>(value);
  return true;
}

// The file name of the process's executable. The kernel appends " (deleted)"
// to the link once that file has been unlinked or renamed over, as an update
// does to a running program; the process still runs that program.
bool ExecutableName(std::uint32_t id, std::string* name) {
  const std::string link = "/proc/" + std::to_string(id) + "/exe";
  std::vector<char> target(PATH_MAX + 1);
  const ssize_t length = readlink(link.c_str(), target.data(), target.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return false;
  std::string path(target.data(), static_cast<std::size_t>(length));
  static const std::string kDeleted = " (deleted)";
  if (path.size() > kDeleted.size() && path.compare(path.size() - kDeleted.size(), kDeleted.size(), kDeleted) == 0) {
    path.resize(path.size() - kDeleted.size());
  }
  *name = path.substr(path.rfind('/') + 1);
  return true;
}

// kill() reads 0 and negative ids as process groups: never pass one on.
bool SignalProcess(std::uint32_t id, int signal) {
  if (id == 0 || id > INT_MAX) {
    errno = ESRCH;
    return false;
  }
  return kill(static_cast<pid_t>(id), signal) == 0;
}

}  // namespace

std::uint32_t platform::CurrentProcessId() { return static_cast<std::uint32_t>(getpid()); }

void platform::WalkProcesses(const std::function<bool(const ProcessEntry&)>& visit) {
  platform::UniqueDir proc("/proc");
  if (proc.get() == nullptr) return;
  while (const dirent* item = readdir(proc.get())) {
    ProcessEntry seen;
    if (!ParseProcessId(item->d_name, &seen.id) || !ExecutableName(seen.id, &seen.exeName)) continue;
    if (!visit(seen)) return;
  }
}

bool platform::AskProcessToEnd(std::uint32_t id) { return SignalProcess(id, SIGTERM); }

bool platform::ForceProcessToEnd(std::uint32_t id) { return SignalProcess(id, SIGKILL); }
