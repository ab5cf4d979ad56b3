// Where one installation's install keeps its state.
#include "install/install_layout.h"

#include "install/install.h"
#include "install/parallel_tasks.h"
#include "install/tree_removal.h"
#include "platform/file_open.h"
#include "platform/file_system.h"

namespace {

std::string BackupFolder(const std::string& backupDir, int number) {
  return backupDir + platform::kPathSeparator + std::to_string(number / kBackupsPerFolder);
}

std::string BackupIn(const std::string& backupDir, int number) {
  return BackupFolder(backupDir, number) + platform::kPathSeparator + std::to_string(number % kBackupsPerFolder);
}

}  // namespace

std::string BackupPath(const std::string& workDir, int number) {
  return BackupIn(workDir + platform::kPathSeparator + kBackupDirName, number);
}

InstallLayout::InstallLayout(const std::string& dstPath, const std::string& workDir)
    : dstPath_(dstPath),
      journal_(workDir + platform::kPathSeparator + kJournalName),
      backupDir_(workDir + platform::kPathSeparator + kBackupDirName) {}

std::string InstallLayout::Target(const std::string& relative) const {
  return dstPath_ + platform::kPathSeparator + relative;
}

std::string InstallLayout::Backup(int number) const { return BackupIn(backupDir_, number); }

std::string InstallLayout::BackupFolderOf(int number) const { return BackupFolder(backupDir_, number); }

void InstallLayout::Discard(int numbered) const {
  RunInParallel(static_cast<std::size_t>(numbered), /*stopAtFailure=*/false, [this](std::size_t number) {
    const std::string backup = Backup(static_cast<int>(number));
    return platform::RemoveFile(backup) || RemoveTree(backup);
  });
  RemoveTree(backupDir_);
  platform::RemoveFile(journal_);
}
