// Where one installation's install keeps its state: the journal and the
// numbered backups in the work directory, and a backup area on each other
// volume that a linked folder of the installation leads to.
#pragma once

#include <string>
#include <vector>

#include "install/install_folders.h"

/// Backups are spread over numbered folders of this many: Wine looks up a
/// name that is not there yet (every backup's) by reading its whole folder.
constexpr int kBackupsPerFolder = 256;

class InstallLayout {
 public:
  InstallLayout(const std::string& dstPath, const std::string& workDir);

  const std::string& journal() const { return journal_; }
  /// The work directory, opened by its path (the user's to name; below it
  /// nothing is followed).
  platform::FolderHandle OpenWorkDir() const { return platform::FolderHandle::Open(workDir_); }
  const std::string& backupDir() const { return backupDir_; }
  /// The installed entry at `relative` (to the installation).
  std::string Target(const std::string& relative) const;
  /// Backup `number` of area `area` (0: the work directory's).
  std::string Backup(int number, int area = 0) const;
  /// The folder that holds backup `number` of area `area` and its neighbours.
  std::string BackupFolderOf(int number, int area = 0) const;
  /// That folder opened: the work directory's by its path, another area's
  /// as `folders` opens the installation's folders.
  platform::FolderHandle OpenBackupFolder(int number, int area, const InstallFolders& folders) const;
  /// Makes that folder, as `folders` opens the installation's folders.
  bool MakeBackupFolder(int number, int area, const InstallFolders& folders) const;
  /// The name of backup `number` in its folder.
  static std::string BackupName(int number);

  /// Where the installation's backup area in its folder `folder` lies,
  /// relative to the installation: under the reserved name, in a folder named
  /// after the installation, so that installations that link one folder
  /// never share an area.
  std::string AreaIn(const std::string& folder) const;
  /// Makes area `area` (1 and up) the one at `relative`, as AreaIn gave it.
  void SetArea(int area, const std::string& relative);
  /// The folder of area `area`.
  std::string AreaDir(int area) const;

  /// Makes area `area` afresh in the installation's folder `folder`, as
  /// `folders` opens it: what an earlier install left there goes first.
  bool MakeArea(int area, const std::string& folder, const InstallFolders& folders) const;

  /// Waits until what was written in the work directory, the installation
  /// and each backup area (the linked folder that holds it) is on the disk;
  /// false, with `unflushed` the folder whose volume could not be flushed and
  /// LastSystemError() telling why.
  bool FlushToDisk(std::string& unflushed) const;

  /// Drops the backups, the first `numbered` of the work directory's spread
  /// over threads, then the other areas (opened as `folders` opens the
  /// installation's folders) and the journal; a backup that cannot be
  /// deleted now is deleted by a later run.
  void Discard(const InstallFolders& folders, int numbered = 0) const;

 private:
  std::string dstPath_;
  std::string journal_;
  /// The work directory's backup area, opened.
  platform::FolderHandle OpenBackups() const;

  std::string workDir_;
  std::string backupDir_;
  std::string identity_;
  std::vector<std::string> areas_;  ///< relative to the installation; [0] unused
};
