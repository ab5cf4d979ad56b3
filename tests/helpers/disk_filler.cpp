// Windows test helper for the full-disk install: fills the disk after the
// updater has extracted its archive and stopped the application, before it
// installs anything. Under Wine the application is ended by TerminateProcess
// and cannot react, so the updater is held at its own locks instead:
//
//   disk_filler DSTPATH APP LOGDIR FILLER
//
// It takes the installation's lock, starts APP (which records itself in
// "APP.run": the test's sign that all is ready) and waits for the updater's
// "DstPath:" line in LOGDIR, after which the updater waits for that lock. It
// takes the log's mutex, lets the lock go, and lets the updater's lines
// through one at a time up to "Clear History File Ret". Until "Stop Process
// Ret" the updater logs nothing more, and that line waits for the mutex. Once
// the updater has ended APP, FILLER is written until the disk is full, a
// little room is given back and the mutex freed. The updater's line waits ten
// seconds at most, then writes without the mutex: the fill takes a fraction
// of that. Every wait here is bounded, so that a fault fails the test instead
// of hanging it. Exits 0 once the disk is filled.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include <windows.h>

#include "install/install.h"
#include "platform/install_lock.h"
#include "platform/win32/kernel_object_name.h"
#include "platform/win32/unique_handle.h"

namespace {

namespace fs = std::filesystem;
using platform::UniqueHandle;

constexpr DWORD kWaitMs = 60 * 1000;
// Room for the journal and the small files of the install, not for its large ones.
constexpr LONGLONG kRoomLeft = 256 << 10;

enum Failure {
  kBadArguments = 2,
  kLockNotTaken,
  kAppNotStarted,
  kNoDstPathLine,
  kLogNotHeld,
  kNoClearLine,
  kAppNotEnded,
  kNotFilled
};

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Polls until `found` is true, at most kWaitMs.
template <typename Found>
bool PollFor(Found found) {
  for (DWORD waited = 0; waited < kWaitMs; waited += 10) {
    if (found()) return true;
    Sleep(10);
  }
  return found();
}

// Where the updater's run is logged: the day's file in the log folder and the
// end of the run's line naming its installation.
struct RunLog {
  fs::path file;
  std::size_t from = 0;
};

RunLog FindRunLog(const fs::path& logDir, const std::string& dstPath) {
  const std::string line = "DstPath:" + dstPath + "\r\n";
  RunLog found;
  PollFor([&] {
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(logDir, ignored)) {
      const std::size_t at = ReadAll(entry.path()).find(line);
      if (at != std::string::npos) found = {entry.path(), at + line.size()};
    }
    return !found.file.empty();
  });
  return found;
}

// Gives the log's mutex to the updater if it waits for it, then takes it
// back, until the run's log holds `line`. SignalObjectAndWait frees the
// mutex and queues for it in one step, and a freed mutex goes to the longest
// waiter: an updater that waits writes one line, and the mutex is ours again
// before it can ask for the next.
bool LetLinesThroughUntil(HANDLE mutex, const RunLog& log, const std::string& line) {
  for (DWORD looks = 0; looks < kWaitMs; ++looks) {
    const DWORD result = SignalObjectAndWait(mutex, mutex, kWaitMs, /*bAlertable=*/FALSE);
    if (result != WAIT_OBJECT_0 && result != WAIT_ABANDONED) return false;
    if (ReadAll(log.file).find(line, log.from) != std::string::npos) return true;
    // A pause between looks while the updater works towards its line.
    Sleep(1);
  }
  return false;
}

// Writes `path` until the disk is full, then gives back kRoomLeft.
bool Fill(const std::string& path) {
  const UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, /*dwShareMode=*/0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.ok()) return false;
  static char chunk[1 << 16];
  std::fill(std::begin(chunk), std::end(chunk), 'f');
  LONGLONG size = 0;
  for (DWORD put = 0; WriteFile(file.get(), chunk, sizeof chunk, &put, nullptr) && put > 0;) size += put;
  LARGE_INTEGER end;
  end.QuadPart = size > kRoomLeft ? size - kRoomLeft : 0;
  return SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get());
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 5) return kBadArguments;
  const std::string dstPath = argv[1];
  std::string app = argv[2];
  const fs::path logDir = argv[3];
  const std::string filler = argv[4];

  auto installLock = std::make_unique<platform::InstallLock>(dstPath, kLockName, 0);
  if (!installLock->held()) return kLockNotTaken;

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(app.c_str(), app.data(), nullptr, nullptr, /*bInheritHandles=*/FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    return kAppNotStarted;
  }
  const UniqueHandle appProcess(started.hProcess);
  const UniqueHandle appThread(started.hThread);

  const RunLog log = FindRunLog(logDir, dstPath);
  if (log.file.empty()) return kNoDstPathLine;
  // The name the updater's log writer derives from the same file.
  const UniqueHandle logMutex(CreateMutexW(nullptr, /*bInitialOwner=*/FALSE,
                                           platform::KernelObjectName("update-log", log.file.string()).c_str()));
  if (!logMutex.ok() || !platform::TakeMutex(logMutex.get(), kWaitMs)) return kLogNotHeld;
  installLock.reset();
  if (!LetLinesThroughUntil(logMutex.get(), log, "Clear History File Ret:")) return kNoClearLine;

  if (WaitForSingleObject(appProcess.get(), kWaitMs) != WAIT_OBJECT_0) return kAppNotEnded;
  const bool filled = Fill(filler);
  ReleaseMutex(logMutex.get());
  return filled ? 0 : kNotFilled;
}
