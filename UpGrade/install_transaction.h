// The all-or-nothing install: every target the new tree replaces is moved
// aside into the work directory, the new tree is placed, and the backups are
// discarded; on failure what was placed goes and the backups come back. A
// journal lets the next run finish an install that was cut off.
#pragma once

#include <string>

/// Names in the installation and its work directory that the install owns;
/// no archive entry may land on the journal, the backup area or the probe.
constexpr const char kWorkDirName[] = "temp";
constexpr const char kUpdateDirName[] = "update";
constexpr const char kJournalName[] = ".update-journal";
constexpr const char kBackupDirName[] = ".update-backup";
constexpr const char kProbeName[] = ".update-probe";

struct InstallOutcome {
  bool installed = false;  ///< the new version is in place, whole
  bool restored = true;    ///< otherwise: the old version is back, whole
  int restoredCount = 0;   ///< old files and folders moved back
};

/// Installs the tree `updateDir` into `dstPath` as CopyTree does (folders
/// merged, top-level files copied, the updater's own file skipped; a failed
/// copy logged at line 149), all or nothing. Targets that cannot be moved
/// aside are logged. When the old version cannot be brought back whole the
/// journal and the backups stay in `workDir` for the next run.
InstallOutcome InstallTree(const std::string& updateDir, const std::string& dstPath, const std::string& workDir);

/// Where an install in `workDir` keeps the old entry it moved aside under
/// backup number `number`.
std::string BackupPath(const std::string& workDir, int number);

enum class Recovery {
  kNothingLeft,  ///< no earlier install was cut off
  kFinished,     ///< an earlier install had committed; its backups are gone now
  kRolledBack,   ///< an earlier install was undone: the old version is whole
  kFailed,       ///< an earlier install could not be undone; journal and backups kept
};

struct RecoveryOutcome {
  Recovery state = Recovery::kNothingLeft;
  int restoredCount = 0;
};

/// Finishes what an install cut off in `dstPath` left in `workDir`.
RecoveryOutcome RecoverInstall(const std::string& dstPath, const std::string& workDir);
