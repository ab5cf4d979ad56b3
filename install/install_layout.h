// Where one installation's install keeps its state: the journal and the
// numbered backups in the work directory.
#pragma once

#include <string>

/// Where an install in `workDir` keeps the old entry it moved aside under
/// backup number `number`.
std::string BackupPath(const std::string& workDir, int number);

/// Backups are spread over numbered folders of this many: Wine looks up a
/// name that is not there yet (every backup's) by reading its whole folder.
constexpr int kBackupsPerFolder = 256;

class InstallLayout {
 public:
  InstallLayout(const std::string& dstPath, const std::string& workDir);

  const std::string& journal() const { return journal_; }
  const std::string& backupDir() const { return backupDir_; }
  /// The installed entry at `relative` (to the installation).
  std::string Target(const std::string& relative) const;
  std::string Backup(int number) const;
  /// The folder that holds backup `number` and its neighbours.
  std::string BackupFolderOf(int number) const;

  /// Drops the backups, the first `numbered` of them spread over threads, and
  /// then the journal; a backup that cannot be deleted now is deleted by a
  /// later run.
  void Discard(int numbered = 0) const;

 private:
  std::string dstPath_;
  std::string journal_;
  std::string backupDir_;
};
