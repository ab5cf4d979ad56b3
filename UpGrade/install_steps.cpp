// The driver's steps around the all-or-nothing install.
#include "UpGrade/install_steps.h"

#include <cstdio>

#include "UpGrade/install_checks.h"
#include "UpGrade/install_transaction.h"
#include "UpGrade/log_lines.h"
#include "platform/file_open.h"
#include "platform/system_error.h"
#include "log/log.h"

namespace {

// Beyond any whole run of a large update: the other run is working, not stuck.
constexpr unsigned kLockWaitMs = 10 * 60 * 1000;

}  // namespace

bool TakeInstallation(const std::string& dstPath, const std::string& workDir, bool archivePresent,
                      std::unique_ptr<platform::InstallLock>& lock) {
  lock = std::make_unique<platform::InstallLock>(dstPath, archivePresent ? kLockWaitMs : 0);
  if (!lock->held()) {
    if (!archivePresent) return true;
    LogFormatted(Error, kDriverLogSource, kLockTimeoutLine, "Another Update Holds The Installation:%s", dstPath.c_str());
    return false;
  }
  platform::RemoveFile(ProbePath(dstPath));
  const RecoveryOutcome recovery = RecoverInstall(dstPath, workDir);
  switch (recovery.state) {
    case Recovery::kRolledBack:
      LogFormatted(Warning, kDriverLogSource, kRecoveredLine, "Unfinished Update Rolled Back, Restored:%d",
                   recovery.restoredCount);
      return true;
    case Recovery::kFailed:
      LogFormatted(Error, kDriverLogSource, kRecoveryFailedLine,
                   "Unfinished Update Not Rolled Back, Restored:%d, Journal Kept In:%s", recovery.restoredCount,
                   workDir.c_str());
      return false;
    case Recovery::kNothingLeft:
    case Recovery::kFinished:
      break;
  }
  return true;
}

bool ReadyToInstall(const std::vector<ArchiveEntry>& entries, const std::string& dstPath) {
  if (!HoldsUpdateEntries(entries)) {
    LogFormatted(Error, kDriverLogSource, kNoUpdateEntriesLine, "No Entry Below update/ In The Archive");
    return false;
  }
  if (!AcceptsNewFile(dstPath)) {
    LogFormatted(Error, kDriverLogSource, kNotWritableLine, "Installation Not Writable:%s error:%d", dstPath.c_str(),
                 platform::LastSystemError());
    return false;
  }
  return true;
}

bool InstallUpdate(const std::string& updateDir, const std::string& dstPath, const std::string& workDir) {
  const InstallOutcome outcome = InstallTree(updateDir, dstPath, workDir);
  if (outcome.installed) return true;
  LogFormatted(outcome.restored ? Warning : Error, kDriverLogSource, kRestoredLine,
               "Old Version Restored:%d, Files Moved Back:%d", outcome.restored ? 1 : 0, outcome.restoredCount);
  return false;
}
