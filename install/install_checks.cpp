// What can be known about an update before anything is stopped: the archive
// brings files to install, it leaves the install's own files and the user's
// files alone, and the installation accepts new files.
#include "install/install_checks.h"

#include <map>

#include "install/install.h"
#include "platform/directory_listing.h"
#include "platform/file_names.h"
#include "platform/file_open.h"
#include "platform/file_stream.h"
#include "platform/file_system.h"
#include "zip/zip_paths.h"

namespace {

std::string ProbePath(const std::string& dstPath) { return dstPath + platform::kPathSeparator + kProbeName; }

// The folders directly in each installed folder, listed once however many
// entries the archive brings there: a query per entry costs Wine a read of
// the whole folder.
class InstalledFolders {
 public:
  explicit InstalledFolders(const std::string& dstPath) : dstPath_(dstPath) {}

  // The installed folder that the entry `names` (below "update") lands on;
  // empty when it lands on no folder. A link there is no folder: the
  // install replaces the link, never what it leads to.
  std::string FolderAt(const std::vector<std::string>& names) {
    std::string parent = dstPath_;
    for (std::size_t i = 1; i + 1 < names.size(); ++i) parent += platform::kPathSeparator + names[i];
    auto listed = subfolders_.find(parent);
    if (listed == subfolders_.end()) listed = subfolders_.emplace(parent, Subfolders(parent)).first;
    for (const std::string& folder : listed->second) {
      if (platform::SameFileName(folder, names.back())) return parent + platform::kPathSeparator + folder;
    }
    return {};
  }

 private:
  static std::vector<std::string> Subfolders(const std::string& folder) {
    std::vector<platform::DirectoryEntry> entries;
    std::vector<std::string> folders;
    if (!platform::ListDirectory(folder, entries)) return folders;
    for (const platform::DirectoryEntry& entry : entries) {
      if (entry.type == platform::EntryType::kDirectory) folders.push_back(entry.name);
    }
    return folders;
  }

  std::string dstPath_;
  std::map<std::string, std::vector<std::string>> subfolders_;
};

}  // namespace

bool HoldsUpdateEntries(const std::vector<ArchiveEntry>& entries) {
  for (const ArchiveEntry& entry : entries) {
    const std::vector<std::string> names = entryPathNames(entry.entryName);
    if (names.size() > 1 && startsWithNames(names, {kUpdateDirName})) return true;
  }
  return false;
}

const ArchiveEntry* EntryTakingReservedName(const std::vector<ArchiveEntry>& entries) {
  // Anything at or below "update/temp" would be installed over the work
  // directory the install moves its backups into, a file or a link there
  // replacing it; "update/.update-probe" would be taken for a probe left
  // behind, and "update/.update-lock" is held by the run itself. A folder
  // of the installation on another volume keeps its backups under the backup
  // area's name. An archive that brought its own release record could let an
  // older release back in.
  const std::vector<std::vector<std::string>> reserved = {{kJournalName},
                                                          {kBackupDirName},
                                                          {kUpdateDirName, kWorkDirName},
                                                          {kUpdateDirName, kProbeName},
                                                          {kUpdateDirName, kLockName},
                                                          {kUpdateDirName, kReleaseRecordName}};
  for (const ArchiveEntry& entry : entries) {
    const std::vector<std::string> names = entryPathNames(entry.entryName);
    for (const std::vector<std::string>& name : reserved) {
      if (startsWithNames(names, name)) return &entry;
    }
    for (std::size_t i = 2; i < names.size() && startsWithNames(names, {kUpdateDirName}); ++i) {
      if (platform::SameFileName(names[i], kBackupDirName)) return &entry;
    }
  }
  return nullptr;
}

FolderBecomingFile FolderHoldingFilesTurnedIntoFile(const std::vector<ArchiveEntry>& entries,
                                                    const std::string& dstPath) {
  InstalledFolders installed(dstPath);
  for (const ArchiveEntry& entry : entries) {
    if (entry.directory) continue;
    const std::vector<std::string> names = entryPathNames(entry.entryName);
    if (names.size() < 2 || !startsWithNames(names, {kUpdateDirName})) continue;
    if (names.size() == 2 && IsUpdaterOwnFile(names[1])) continue;
    const std::string folder = installed.FolderAt(names);
    if (folder.empty()) continue;
    // A file in its place brings nothing below it: whatever the folder holds
    // would go with the backups.
    std::vector<platform::DirectoryEntry> held;
    if (!platform::ListDirectory(folder, held)) return {folder, {}};
    if (!held.empty()) return {folder, folder + platform::kPathSeparator + held.front().name};
  }
  return {};
}

bool AcceptsNewFile(const std::string& dstPath) {
  const std::string probe = ProbePath(dstPath);
  if (!platform::UniqueFile(platform::OpenFile(probe, "wb"))) return false;
  return platform::RemoveFile(probe);
}

void RemoveLeftoverProbe(const std::string& dstPath) { platform::RemoveFile(ProbePath(dstPath)); }
