// The driver's phases around the install engine.
#include "UpGrade/install_phases.h"

#include <string>
#include <vector>

#include "UpGrade/failure_reasons.h"
#include "UpGrade/file_operations.h"
#include "UpGrade/log_lines.h"
#include "install/held_retry.h"
#include "install/install.h"
#include "log/log.h"
#include "platform/file_system.h"
#include "platform/system_error.h"
#include "util/test_bound.h"

namespace {

// Beyond any whole run of a large update: the other run is working, not stuck.
constexpr unsigned kLockWaitMs = 10 * 60 * 1000;

// An undo leaves what it did not place where it is, and says so.
void LogKept(const std::vector<std::string>& kept) {
  for (const std::string& path : kept) {
    LogFormatted(Warning, kDriverLogSource, kKeptLine, "Not Placed By The Update, Kept:%s", path.c_str());
  }
}

// Each step of an undo that failed, up to twenty, then how many more: a
// rollback of thousands of files held open must not bury the log.
void LogUndoFailures(const std::vector<FailedStep>& failures) {
  constexpr std::size_t kListed = 20;
  for (std::size_t i = 0; i < failures.size() && i < kListed; ++i) {
    LogFormatted(Error, kDriverLogSource, kUndoStepLine, "Undo Failed At:%s, Path:%s, error:%d",
                 InstallStepName(failures[i].step), failures[i].path.c_str(), failures[i].error);
  }
  if (failures.size() > kListed) {
    LogFormatted(Error, kDriverLogSource, kUndoCountLine, "Undo Failures Not Listed:%d",
                 static_cast<int>(failures.size() - kListed));
  }
}

// What keeps a rollback from finishing: the first step that failed, else the
// folder changed since the install, else the journal not trusted.
const std::string& BlockingEntry(const RecoveryOutcome& recovery) {
  if (!recovery.undoFailures.empty()) return recovery.undoFailures.front().path;
  if (!recovery.changedFolder.path.empty()) return recovery.changedFolder.path;
  return recovery.untrusted.path;
}

void LogUntrusted(const UntrustedJournal& journal) {
  if (journal.reason.empty()) return;
  LogFormatted(Error, kDriverLogSource, kJournalUntrustedLine, "Journal Not Trusted:%s, Reason:%s, error:%d",
               journal.path.c_str(), journal.reason.c_str(), journal.error);
}

}  // namespace

void LogOwnNameLink(const std::string& path) {
  LogFormatted(Error, kDriverLogSource, kOwnNameLinkLine, "Link Where Own File Should Be:%s", path.c_str());
}

void LogHeldWaits() {
  for (const HeldWait& wait : TakeHeldWaits()) {
    LogFormatted(Warning, kDriverLogSource, kWaitedLine, "Waited For Held File:%s, error:%d, Waited:%u ms",
                 wait.path.c_str(), wait.error, wait.waitedMs);
  }
}

std::unique_ptr<platform::InstallLock> LockInstallation(const std::string& dstPath, bool archivePresent) {
  const unsigned waitMs = archivePresent ? BoundForTests("LOCK_WAIT", kLockWaitMs) : 0;
  auto lock = std::make_unique<platform::InstallLock>(dstPath, kLockName, waitMs, [&] {
    LogFormatted(Warning, kDriverLogSource, kLockWaitLine, "Waiting For Another Update:%s", dstPath.c_str());
  });
  if (lock->busy() && archivePresent) {
    LogFormatted(Error, kDriverLogSource, kLockTimeoutLine, "Another Update Holds The Installation:%s",
                 dstPath.c_str());
  }
  if (lock->linked()) {
    LogOwnNameLink(dstPath + platform::kPathSeparator + kLockName);
  } else if (!lock->held() && !lock->busy()) {
    LogFormatted(Error, kDriverLogSource, kLockRefusedLine, "Installation Lock Refused:%s, error:%d",
                 (dstPath + platform::kPathSeparator + kLockName).c_str(), lock->error());
  }
  return lock;
}

bool RecoverUnfinishedInstall(const std::string& dstPath, const std::string& workDir) {
  const RecoveryOutcome recovery = RecoverInstall(dstPath, workDir);
  LogHeldWaits();
  LogKept(recovery.kept);
  LogUndoFailures(recovery.undoFailures);
  LogUntrusted(recovery.untrusted);
  if (!recovery.changedFolder.path.empty()) {
    LogFormatted(Error, kDriverLogSource, kFolderChangedLine, "Folder Changed Since The Install:%s, Recorded Link:%s",
                 recovery.changedFolder.path.c_str(), recovery.changedFolder.recordedLink.c_str());
  }
  switch (recovery.state) {
    case Recovery::kRolledBack:
      LogFormatted(Warning, kDriverLogSource, kRecoveredLine, "Unfinished Update Rolled Back, Restored:%d",
                   recovery.restoredCount);
      return true;
    case Recovery::kFailed:
      LogFormatted(Error, kDriverLogSource, kRecoveryFailedLine,
                   "Unfinished Update Not Rolled Back, Restored:%d, Journal Kept In:%s, Blocked By:%s",
                   recovery.restoredCount, workDir.c_str(), BlockingEntry(recovery).c_str());
      return false;
    case Recovery::kFinished:
      // Cut off after its commit: the new version was whole, only its
      // backups were left to discard.
      LogFormatted(Warning, kDriverLogSource, kCompletedLine, "Unfinished Update Completed");
      break;
    case Recovery::kNothingLeft:
      break;
  }
  return true;
}

// Logs why `folder` takes no new file, as its probe found; false then.
static bool TakesNewFile(const std::string& folder, const NewFileProbe& probe) {
  if (probe.linked) {
    LogOwnNameLink(folder + platform::kPathSeparator + kProbeName);
  } else if (!probe.accepted) {
    LogFormatted(Error, kDriverLogSource, kNotWritableLine, "Installation Not Writable:%s error:%d", folder.c_str(),
                 probe.error);
  }
  return probe.accepted;
}

bool ReadyToInstall(const std::vector<ArchiveEntry>& entries, const std::string& dstPath, int openFilesAllowed) {
  if (!HoldsUpdateEntries(entries)) {
    LogFormatted(Error, kDriverLogSource, kNoUpdateEntriesLine, "No Entry Below update/ In The Archive");
    return false;
  }
  const FolderBecomingFile folder = FolderHoldingFilesTurnedIntoFile(entries, dstPath);
  if (!folder.folder.empty()) {
    LogFormatted(Error, kDriverLogSource, kFolderBecomingFileLine, "Folder Would Become A File:%s, Holds:%s",
                 folder.folder.c_str(), folder.holds.c_str());
    return false;
  }
  const TooDeepEntry deep = EntryTooDeepFor(entries, openFilesAllowed);
  if (!deep.entry.empty()) {
    LogFormatted(Error, kDriverLogSource, kTooDeepLine, "Tree Too Deep:%s, Levels:%d, Open Files Allowed:%d",
                 deep.entry.c_str(), deep.levels, openFilesAllowed);
    return false;
  }
  if (!TakesNewFile(dstPath, AcceptsNewFile(dstPath))) return false;
  const RefusingFolder linked = LinkedFolderRefusingNewFile(entries, dstPath);
  return linked.folder.empty() || TakesNewFile(linked.folder, linked.probe);
}

void LogUpdaterOwnFiles(const std::vector<ArchiveEntry>& entries) {
  for (const std::string& entry : UpdaterOwnFileEntries(entries)) {
    LogFormatted(Warning, kDriverLogSource, kOwnFileLine, "Updater's Own File Not Installed:%s", entry.c_str());
  }
}

bool InstallUpdate(const std::string& updateDir, const std::string& dstPath, const std::string& workDir,
                   const std::vector<std::string>& madeLinks) {
  const InstallOutcome outcome = InstallTree(updateDir, dstPath, workDir, &madeLinks);
  LogHeldWaits();
  if (outcome.installed) return true;
  for (const FailedAside& aside : outcome.failedAsides) {
    LogFormatted(Error, kDriverLogSource, kAsideFailedLine, "Move Aside Source:%s, Backup:%s, error:%d",
                 aside.target.c_str(), aside.backup.c_str(), aside.error);
  }
  for (const FailedMove& move : outcome.failedMoves) {
    LogFormatted(Error, kDriverLogSource, kMoveInFailedLine, "Move In Source:%s, Target:%s, error:%d",
                 move.source.c_str(), move.target.c_str(), move.error);
  }
  for (const std::string& link : outcome.refusedLinks) {
    LogFormatted(Error, kDriverLogSource, kOwnNameLinkLine, "Link Where Own File Should Be:%s", link.c_str());
  }
  if (!outcome.swappedSincePlan.empty()) {
    LogFormatted(Error, kDriverLogSource, kSwappedFolderLine, "Folder Swapped Since The Plan:%s",
                 outcome.swappedSincePlan.c_str());
  }
  LogFailedCopies(outcome.failedCopies);
  LogKept(outcome.kept);
  LogUndoFailures(outcome.undoFailures);
  LogUntrusted(outcome.untrusted);
  if (!outcome.linkAtOwnName.empty()) {
    LogOwnNameLink(outcome.linkAtOwnName);
  } else if (outcome.failedStep.step != InstallStep::kNone) {
    LogFormatted(Error, kDriverLogSource, kInstallStepLine, "Install Failed At:%s, Path:%s, error:%d",
                 InstallStepName(outcome.failedStep.step), outcome.failedStep.path.c_str(), outcome.failedStep.error);
  }
  LogFormatted(outcome.rolledBack ? Warning : Error, kDriverLogSource, kRestoredLine,
               "Old Version Restored:%d, Files Moved Back:%d", outcome.rolledBack ? 1 : 0, outcome.restoredCount);
  return false;
}
