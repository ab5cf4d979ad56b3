// Where one installation's install keeps its state.
#include "install/install_layout.h"

#include "install/install.h"
#include "install/install_paths.h"
#include "install/parallel_tasks.h"
#include "install/tree_removal.h"
#include "platform/directory_move.h"
#include "platform/disk_flush.h"
#include "platform/file_identity.h"
#include "platform/file_open.h"
#include "platform/file_system.h"
#include "platform/folder_handle.h"
#include "platform/system_error.h"

namespace {

std::string BackupFolder(const std::string& backupDir, int number) {
  return JoinPath(backupDir, std::to_string(number / kBackupsPerFolder));
}

std::string BackupIn(const std::string& backupDir, int number) {
  return JoinPath(BackupFolder(backupDir, number), std::to_string(number % kBackupsPerFolder));
}

// Names the installation's areas in folders it links: its identity, which
// its other spellings share and another installation's never does.
std::string IdentityOf(const std::string& dstPath) {
  const std::string identity = platform::FileIdentity(dstPath).value;
  return identity.empty() ? "installation" : identity;
}

}  // namespace

InstallLayout::InstallLayout(const std::string& dstPath, const std::string& workDir)
    : dstPath_(dstPath),
      journal_(JoinPath(workDir, kJournalName)),
      workDir_(workDir),
      backupDir_(JoinPath(workDir, kBackupDirName)),
      identity_(IdentityOf(dstPath)),
      areas_(1) {}

std::string InstallLayout::Target(const std::string& relative) const { return JoinPath(dstPath_, relative); }

std::string InstallLayout::Backup(int number, int area) const { return BackupIn(AreaDir(area), number); }

std::string InstallLayout::BackupFolderOf(int number, int area) const { return BackupFolder(AreaDir(area), number); }

platform::FolderHandle InstallLayout::OpenBackupFolder(int number, int area, const InstallFolders& folders) const {
  if (AreaDir(area) == backupDir_) return OpenBackups().Child(std::to_string(number / kBackupsPerFolder));
  return folders.Open(JoinPath(areas_[static_cast<std::size_t>(area)], std::to_string(number / kBackupsPerFolder)));
}

bool InstallLayout::MakeBackupFolder(int number, int area, const InstallFolders& folders) const {
  if (AreaDir(area) == backupDir_) return OpenBackups().MakeFolder(std::to_string(number / kBackupsPerFolder));
  return folders.Open(areas_[static_cast<std::size_t>(area)]).MakeFolder(std::to_string(number / kBackupsPerFolder));
}

bool InstallLayout::MakeArea(int area, const std::string& folder, const InstallFolders& folders) const {
  const std::string reserved = JoinPath(folder, kBackupDirName);
  const platform::FolderHandle holder = folders.Open(folder);
  // One an earlier install made stays in use; a refusal to make it is the
  // cause, with its code, not the open of it that would follow.
  if (!holder.MakeFolder(kBackupDirName)) {
    const int refused = platform::LastSystemError();
    if (!holder.Child(kBackupDirName).ok()) {
      platform::SetLastSystemError(refused);
      return false;
    }
  }
  const platform::FolderHandle parent = folders.Open(reserved);
  const std::string& relative = areas_[static_cast<std::size_t>(area)];
  const std::string name = LastNameOf(relative);
  RemoveTreeIn(parent, name);
  return parent.MakeFolder(name);
}

platform::FolderHandle InstallLayout::OpenBackups() const { return OpenWorkDir().Child(kBackupDirName); }

std::string InstallLayout::BackupName(int number) { return std::to_string(number % kBackupsPerFolder); }

std::string InstallLayout::AreaIn(const std::string& folder) const {
  return JoinPath(JoinPath(folder, kBackupDirName), identity_);
}

void InstallLayout::SetArea(int area, const std::string& relative) {
  if (area < 1) return;
  if (static_cast<std::size_t>(area) >= areas_.size()) areas_.resize(static_cast<std::size_t>(area) + 1);
  areas_[static_cast<std::size_t>(area)] = relative;
}

std::string InstallLayout::AreaDir(int area) const {
  if (area < 1 || static_cast<std::size_t>(area) >= areas_.size() || areas_[static_cast<std::size_t>(area)].empty()) {
    return backupDir_;
  }
  return Target(areas_[static_cast<std::size_t>(area)]);
}

bool InstallLayout::FlushToDisk(std::string& unflushed) const {
  std::vector<std::string> folders{workDir_, dstPath_};
  for (std::size_t area = 1; area < areas_.size(); ++area) {
    if (areas_[area].empty()) continue;
    // The area itself may not be made yet; the folder its link leads to is.
    const std::string reserved = areas_[area].substr(0, areas_[area].rfind(platform::kPathSeparator));
    folders.push_back(Target(reserved.substr(0, reserved.rfind(platform::kPathSeparator))));
  }
  return platform::FlushFoldersToDisk(folders, unflushed);
}

void InstallLayout::Discard(const InstallFolders& folders, int numbered) const {
  const platform::FolderHandle backups = OpenBackups();
  RunInParallel(static_cast<std::size_t>(numbered), /*stopAtFailure=*/false, [&backups](std::size_t number) {
    const int backup = static_cast<int>(number);
    const platform::FolderHandle folder = backups.Child(std::to_string(backup / kBackupsPerFolder));
    // Most backups are files: removed as one without asking what they are.
    return folder.Remove(BackupName(backup), /*folder=*/false) || RemoveTreeIn(folder, BackupName(backup));
  });
  const platform::FolderHandle work = OpenWorkDir();
  RemoveTreeIn(work, kBackupDirName);
  for (std::size_t area = 1; area < areas_.size(); ++area) {
    if (areas_[area].empty()) continue;
    std::string name;
    std::string reserved;
    const std::string folder = areas_[area].substr(0, areas_[area].rfind(platform::kPathSeparator));
    // The reserved folder goes once no other installation keeps its area there.
    if (RemoveTreeIn(folders.OpenParent(areas_[area], name), name)) {
      folders.OpenParent(folder, reserved).Remove(reserved, /*folder=*/true);
    }
  }
  work.Remove(kJournalName, /*folder=*/false);
}
