// What can be known about an update before anything is stopped: the archive
// brings files to install, it leaves the install's own files and the user's
// files alone, and the installation accepts new files.
#include "install/install_checks.h"

#include <map>
#include <set>

#include "install/install.h"
#include "install/install_paths.h"
#include "platform/directory_listing.h"
#include "platform/entry_type.h"
#include "platform/file_names.h"
#include "platform/file_system.h"
#include "platform/folder_handle.h"
#include "platform/install_lock.h"
#include "platform/system_error.h"
#include "zip/zip_paths.h"

namespace {

// `names` (below the folder `folder`) as the folders hold them, each short
// name resolved to its entry's long name, one folder after another; an error
// when a folder cannot be asked.
platform::SystemRead<std::vector<std::string>> InstalledNames(std::string folder,
                                                              const std::vector<std::string>& names) {
  platform::SystemRead<std::vector<std::string>> installed;
  for (const std::string& name : names) {
    const platform::SystemRead<std::string> held = platform::LongNameIn(folder, name);
    if (!held.ok()) return {{}, held.error};
    installed.value.push_back(held.value);
    folder = JoinPath(folder, held.value);
  }
  return installed;
}

// The folders directly in each installed folder, listed once however many
// entries the archive brings there: a query per entry costs Wine a read of
// the whole folder.
class InstalledFolders {
 public:
  explicit InstalledFolders(const std::string& dstPath) : dstPath_(dstPath) {}

  // The installed folder that the entry whose names below "update" are
  // `names` lands on; empty when it lands on no folder. A link there is no
  // folder: the install replaces the link, never what it leads to.
  std::string FolderAt(const std::vector<std::string>& names) {
    std::string parent = dstPath_;
    for (std::size_t i = 0; i + 1 < names.size(); ++i) parent = JoinPath(parent, names[i]);
    auto listed = subfolders_.find(parent);
    if (listed == subfolders_.end()) listed = subfolders_.emplace(parent, Subfolders(parent)).first;
    for (const std::string& folder : listed->second) {
      if (platform::SameFileName(folder, names.back())) return JoinPath(parent, folder);
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
    if (!NamesBelowUpdate(entry.entryName).empty()) return true;
  }
  return false;
}

const ArchiveEntry* EntryTakingReservedName(const std::vector<ArchiveEntry>& entries, const std::string& dstPath) {
  // Anything at or below "update/temp" would be installed over the work
  // directory the install moves its backups into, a file or a link there
  // replacing it; "update/.update-probe" would be taken for a probe left
  // behind, and "update/.update-lock" is held by the run itself. A folder
  // of the installation on another volume keeps its backups under the backup
  // area's name. An archive that brought its own release record could let an
  // older release back in. A short name is its entry's; a name that cannot
  // be asked about is refused.
  const std::string workDir = JoinPath(dstPath, kWorkDirName);
  for (const ArchiveEntry& entry : entries) {
    const auto names = InstalledNames(workDir, entryPathNames(entry.entryName));
    const auto installed = InstalledNames(dstPath, NamesBelowUpdate(entry.entryName));
    if (!names.ok() || !installed.ok()) return &entry;
    for (const char* name : {kJournalName, kBackupDirName}) {
      if (startsWithNames(names.value, {name})) return &entry;
    }
    const std::vector<std::string>& below = installed.value;
    for (const std::string& name :
         {std::string(kWorkDirName), std::string(kProbeName), std::string(kLockName),
          kLockName + std::string(platform::kLockHeldSuffix), std::string(kReleaseRecordName)}) {
      if (startsWithNames(below, {name})) return &entry;
    }
    for (std::size_t i = 1; i < below.size(); ++i) {
      if (platform::SameFileName(below[i], kBackupDirName)) return &entry;
    }
  }
  return nullptr;
}

FolderBecomingFile FolderHoldingFilesTurnedIntoFile(const std::vector<ArchiveEntry>& entries,
                                                    const std::string& dstPath) {
  InstalledFolders installed(dstPath);
  for (const ArchiveEntry& entry : entries) {
    if (entry.directory) continue;
    const std::vector<std::string> below = NamesBelowUpdate(entry.entryName);
    const platform::SystemRead<std::vector<std::string>> names = InstalledNames(dstPath, below);
    // A name that cannot be asked about counts as a folder that cannot be listed.
    if (!names.ok()) return {JoinPath(dstPath, below.front()), {}};
    if (names.value.empty() || (names.value.size() == 1 && IsUpdaterOwnFile(names.value[0]))) continue;
    const std::string folder = installed.FolderAt(names.value);
    if (folder.empty()) continue;
    // A file in its place brings nothing below it: whatever the folder holds
    // would go with the backups.
    std::vector<platform::DirectoryEntry> held;
    if (!platform::ListDirectory(folder, held)) return {folder, {}};
    if (!held.empty()) return {folder, JoinPath(folder, held.front().name)};
  }
  return {};
}

TooDeepEntry EntryTooDeepFor(const std::vector<ArchiveEntry>& entries, int openFilesAllowed) {
  // Beside the folders: the standard streams, the lock, the archive, the
  // journal, the log and the copies of the threads that place files.
  constexpr int kBesideFolders = 64;
  TooDeepEntry deepest;
  for (const ArchiveEntry& entry : entries) {
    const std::size_t names = NamesBelowUpdate(entry.entryName).size();
    const int levels = static_cast<int>(entry.directory || names == 0 ? names : names - 1);
    if (levels > deepest.levels) deepest = {entry.entryName, levels};
  }
  if (deepest.levels <= (openFilesAllowed - kBesideFolders) / 2) return {};
  return deepest;
}

RefusingFolder LinkedFolderRefusingNewFile(const std::vector<ArchiveEntry>& entries, const std::string& dstPath) {
  // Each folder looked at once, however many entries land in it; a link
  // leads elsewhere, maybe to a volume mounted read-only, where the backups
  // and the new files are made after the stop.
  std::set<std::string> seen;
  for (const ArchiveEntry& entry : entries) {
    const std::vector<std::string> names = NamesBelowUpdate(entry.entryName);
    const std::size_t folders = entry.directory || names.empty() ? names.size() : names.size() - 1;
    std::string folder = dstPath;
    for (std::size_t i = 0; i < folders; ++i) {
      folder = JoinPath(folder, names[i]);
      if (!seen.insert(folder).second) continue;
      if (!platform::IsLink(folder) || !platform::IsExistingDirectory(folder)) continue;
      const NewFileProbe probe = AcceptsNewFile(folder);
      if (!probe.accepted) return {folder, probe};
    }
  }
  return {};
}

NewFileProbe AcceptsNewFile(const std::string& dstPath) {
  const platform::FolderHandle installation = platform::FolderHandle::Open(dstPath);
  if (!installation.MakeFile(kProbeName)) {
    const int error = platform::LastSystemError();
    return {false, installation.HoldsLink(kProbeName), error};
  }
  if (!installation.Remove(kProbeName, /*folder=*/false)) return {false, false, platform::LastSystemError()};
  return {true, false, 0};
}

// What stands at the probe's name goes, a link as a link.
void RemoveLeftoverProbe(const std::string& dstPath) {
  platform::FolderHandle::Open(dstPath).Remove(kProbeName, /*folder=*/false);
}
