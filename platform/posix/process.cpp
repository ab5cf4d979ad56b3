// POSIX backend of platform/process.h: the /proc file system and signals.
#include "platform/process.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>

#include <dirent.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/posix/interpreted_script.h"
#include "platform/posix/proc_entries.h"
#include "platform/posix/unique_dir.h"
#include "platform/posix/unique_fd.h"

// Numbered alike on every architecture since Linux 5.1; older C libraries
// do not name them.
#ifndef SYS_pidfd_open
#define SYS_pidfd_open 434
#endif
#ifndef SYS_pidfd_send_signal
#define SYS_pidfd_send_signal 424
#endif

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

bool ExecutableName(std::uint32_t id, std::string* name) {
  std::string path;
  if (!platform::ExecutablePathOf(id, &path)) return false;
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

// A process descriptor names the process it was opened on: the process id
// may be taken by a new process once this one is gone, the descriptor never.
// Kernels before 5.3 have none, and the id alone is signalled there.
struct platform::OpenedProcess::Impl {
  Impl(std::uint32_t process, int descriptor) : id(process), pidfd(descriptor) {}

  std::uint32_t id;
  UniqueFd pidfd;

  bool Signal(int signal) const {
    if (!pidfd.ok()) return SignalProcess(id, signal);
    return syscall(SYS_pidfd_send_signal, pidfd.get(), signal, nullptr, 0) == 0;
  }
};

// Signal 0 only asks whether the process exists and may be signalled.
platform::OpenedProcess::OpenedProcess(std::uint32_t id) {
  const bool inRange = id != 0 && id <= INT_MAX;
  const int pidfd = inRange ? static_cast<int>(syscall(SYS_pidfd_open, static_cast<pid_t>(id), 0)) : -1;
  if (pidfd < 0 && (!inRange || errno == ESRCH)) return;
  auto opened = std::make_unique<Impl>(id, pidfd);
  if (opened->Signal(0)) impl_ = std::move(opened);
}

platform::OpenedProcess::~OpenedProcess() = default;

bool platform::OpenedProcess::ok() const { return impl_ != nullptr; }

std::uint32_t platform::OpenedProcess::id() const { return impl_ ? impl_->id : 0; }

std::string platform::OpenedProcess::ExecutableFile() const { return impl_ ? ProcFile(impl_->id, "exe") : ""; }

std::vector<std::string> platform::OpenedProcess::ProgramFiles() const {
  std::vector<std::string> files;
  if (!impl_) return files;
  std::string path;
  if (ExecutablePathOf(impl_->id, &path)) files.push_back(path);
  path = InterpretedScript(impl_->id, CommandLineWords(impl_->id));
  if (!path.empty()) files.push_back(path);
  return files;
}

bool platform::OpenedProcess::AskToEnd() { return impl_ && impl_->Signal(SIGTERM); }

bool platform::OpenedProcess::ForceToEnd() { return impl_ && impl_->Signal(SIGKILL); }
