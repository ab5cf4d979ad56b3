// POSIX backend of platform/process.h: the /proc file system and signals.
#include "platform/process.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/unique_dir.h"
#include "platform/posix/unique_fd.h"

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

// Where the magic link `link` leads; false when it cannot be read.
bool ReadLink(const std::string& link, std::string* target) {
  std::vector<char> buffer(PATH_MAX + 1);
  const ssize_t length = readlink(link.c_str(), buffer.data(), buffer.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) return false;
  target->assign(buffer.data(), static_cast<std::size_t>(length));
  return true;
}

std::string ProcFile(std::uint32_t id, const char* name) { return "/proc/" + std::to_string(id) + "/" + name; }

// The path of the process's executable. The kernel appends " (deleted)" to
// the link once that file has been unlinked or renamed over, as an update
// does to a running program; the process still runs the program it was
// started from, at that path.
bool ExecutablePathOf(std::uint32_t id, std::string* path) {
  if (!ReadLink(ProcFile(id, "exe"), path)) return false;
  static const std::string kDeleted = " (deleted)";
  if (path->size() > kDeleted.size() && path->compare(path->size() - kDeleted.size(), kDeleted.size(), kDeleted) == 0) {
    path->resize(path->size() - kDeleted.size());
  }
  return true;
}

bool ExecutableName(std::uint32_t id, std::string* name) {
  std::string path;
  if (!ExecutablePathOf(id, &path)) return false;
  *name = path.substr(path.rfind('/') + 1);
  return true;
}

// The words of the process's command line, as it was started: the kernel's
// 15-byte name of the process would cut a script's name short.
std::vector<std::string> CommandLineWords(std::uint32_t id) {
  std::vector<std::string> words;
  const platform::UniqueFd file(open(ProcFile(id, "cmdline").c_str(), O_RDONLY | O_CLOEXEC));
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

// `word` as a path of an existing file, a relative one taken from the
// process's current directory; false when it names none.
bool ExistingFileOf(std::uint32_t id, const std::string& word, std::string* path) {
  if (word.empty()) return false;
  *path = word;
  if (word[0] != '/') {
    std::string cwd;
    if (!ReadLink(ProcFile(id, "cwd"), &cwd) || cwd[0] != '/') return false;
    *path = cwd == "/" ? "/" + word : cwd + "/" + word;
  }
  struct stat status {};
  return stat(path->c_str(), &status) == 0 && S_ISREG(status.st_mode);
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

bool platform::WalkProcesses(const std::function<bool(const ProcessEntry&)>& visit) {
  platform::UniqueDir proc("/proc");
  if (proc.get() == nullptr) return false;
  while (const dirent* item = readdir(proc.get())) {
    ProcessEntry seen;
    if (!ParseProcessId(item->d_name, &seen.id) || !ExecutableName(seen.id, &seen.exeName)) continue;
    if (!visit(seen)) return true;
  }
  return true;
}

bool platform::AskProcessToEnd(std::uint32_t id) { return SignalProcess(id, SIGTERM); }

bool platform::ForceProcessToEnd(std::uint32_t id) { return SignalProcess(id, SIGKILL); }

struct platform::OpenedProcess::Impl {
  std::uint32_t id;
};

// Signal 0 only asks whether the process exists and may be signalled.
platform::OpenedProcess::OpenedProcess(std::uint32_t id)
    : impl_(SignalProcess(id, 0) ? std::make_unique<Impl>(Impl{id}) : nullptr) {}

platform::OpenedProcess::~OpenedProcess() = default;

bool platform::OpenedProcess::ok() const { return impl_ != nullptr; }

// A script started by its "#!" line runs as "interpreter [option] script",
// one started by hand as "interpreter [-options] script": the script is the
// first word after the interpreter that is no option.
std::vector<std::string> platform::OpenedProcess::ProgramFiles() const {
  std::vector<std::string> files;
  if (!impl_) return files;
  std::string path;
  if (ExecutablePathOf(impl_->id, &path)) files.push_back(path);
  const std::vector<std::string> words = CommandLineWords(impl_->id);
  if (words.empty()) return files;
  const auto script = std::find_if(words.begin() + 1, words.end(),
                                   [](const std::string& word) { return !word.empty() && word[0] != '-'; });
  for (const std::string& word : {words.front(), script == words.end() ? std::string() : *script}) {
    if (ExistingFileOf(impl_->id, word, &path)) files.push_back(path);
  }
  return files;
}

bool platform::OpenedProcess::AskToEnd() { return impl_ && SignalProcess(impl_->id, SIGTERM); }

bool platform::OpenedProcess::ForceToEnd() { return impl_ && SignalProcess(impl_->id, SIGKILL); }
