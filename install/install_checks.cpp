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
#include "platform/file_open.h"
#include "platform/file_stream.h"
#include "platform/file_system.h"
#include "platform/install_lock.h"
#include "zip/zip_paths.h"

namespace {

std::string ProbePath(const std::string& dstPath) { return JoinPath(dstPath, kProbeName); }

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

const ArchiveEntry* EntryTakingReservedName(const std::vector<ArchiveEntry>& entries) {
  // Anything at or below "update/temp" would be installed over the work
  // directory the install moves its backups into, a file or a link there
  // replacing it; "update/.update-probe" would be taken for a probe left
  // behind, and "update/.update-lock" is held by the run itself. A folder
  // of the installation on another volume keeps its backups under the backup
  // area's name. An archive that brought its own release record could let an
  // older release back in.
  for (const ArchiveEntry& entry : entries) {
    const std::vector<std::string> names = entryPathNames(entry.entryName);
    for (const char* name : {kJournalName, kBackupDirName}) {
      if (startsWithNames(names, {name})) return &entry;
    }
    const std::vector<std::string> below = NamesBelowUpdate(entry.entryName);
    for (const std::string& name : {std::string(kWorkDirName), std::string(kProbeName), std::string(kLockName),
                                    kLockName + std::string(platform::kLockHeldSuffix),
                                    std::string(kReleaseRecordName)}) {
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
    const std::vector<std::string> names = NamesBelowUpdate(entry.entryName);
    if (names.empty() || (names.size() == 1 && IsUpdaterOwnFile(names[0]))) continue;
    const std::string folder = installed.FolderAt(names);
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

std::string LinkedFolderRefusingNewFile(const std::vector<ArchiveEntry>& entries, const std::string& dstPath) {
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
      if (platform::IsLink(folder) && platform::IsExistingDirectory(folder) && !AcceptsNewFile(folder)) return folder;
    }
  }
  return {};
}

bool AcceptsNewFile(const std::string& dstPath) {
  const std::string probe = ProbePath(dstPath);
  if (!platform::UniqueFile(platform::OpenFile(probe, "wb"))) return false;
  return platform::RemoveFile(probe);
}

void RemoveLeftoverProbe(const std::string& dstPath) { platform::RemoveFile(ProbePath(dstPath)); }
