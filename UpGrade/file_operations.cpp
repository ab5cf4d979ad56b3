// The driver's file operations: the archive test, clearing the work
// directory and installing the extracted tree.
#include "UpGrade/file_operations.h"

#include <cstdio>
#include <vector>

#include "UpGrade/log_lines.h"
#include "install/install.h"
#include "install/tree_removal.h"
#include "log/log.h"
#include "platform/directory_listing.h"
#include "platform/entry_type.h"
#include "platform/file_copy.h"
#include "platform/file_identity.h"
#include "platform/file_names.h"
#include "platform/file_open.h"
#include "platform/file_search.h"
#include "platform/file_system.h"
#include "platform/folder_handle.h"
#include "platform/system_error.h"
#include "util/paths.h"

bool FileExists(const std::string& filePath) { return platform::FindsFile(filePath); }

namespace {

// An update folder that could not be removed is renamed to this, followed by
// the run's token, for a later clear to remove.
constexpr const char kDiscardedPrefix[] = ".update-discarded-";

// True for the journal and the backup area of an install directly in the
// work directory: only recovery, which reads the journal, may remove them.
bool KeptForRecovery(const std::string& name) {
  return platform::SameFileName(name, kJournalName) || platform::SameFileName(name, kBackupDirName);
}

// A linked work directory is someone else's directory: it is unlinked and
// a directory of our own takes its place, empty. False when it cannot be.
bool ReplacedIfLinked(const std::string& dirPath) {
  return !platform::IsLink(dirPath) || (platform::RemoveLink(dirPath) && platform::MakeDirectory(dirPath));
}

}  // namespace

bool ClearDirectory(const std::string& dirPath, const std::string& keptFile) {
  if (platform::IsLink(dirPath)) return ReplacedIfLinked(dirPath);
  if (!IsDirectory(dirPath)) return false;
  std::vector<platform::DirectoryEntry> entries;
  // The directory went away or cannot be read after the test above.
  if (!platform::ListDirectory(dirPath, entries)) return false;
  // A file that cannot be deleted stays; the clear goes on. A link is
  // removed as a link: what it leads to is not ours, and one left in place
  // would steer the next extraction through it.
  for (const platform::DirectoryEntry& entry : entries) {
    const std::string path = dirPath + platform::kPathSeparator + entry.name;
    switch (entry.type) {
      case platform::EntryType::kLink:
        platform::RemoveLink(path);
        break;
      case platform::EntryType::kFile:
        if (keptFile.empty() || !platform::IsSameFile(path, keptFile)) platform::RemoveFile(path);
        break;
      case platform::EntryType::kDirectory:
        ClearDirectory(path, keptFile);
        break;
      case platform::EntryType::kMissing:
        break;
    }
  }
  return true;
}

WorkClear ClearWorkDirectory(const std::string& workDir, const std::string& keptFile) {
  if (!ReplacedIfLinked(workDir)) return {};
  // The first run of an installation makes it: there was nothing to clear.
  const bool existed = platform::EntryTypeOf(workDir) != platform::EntryType::kMissing;
  if (!existed) platform::MakeDirectory(workDir);
  const platform::FolderHandle work = platform::FolderHandle::Open(workDir);
  std::vector<platform::DirectoryEntry> entries;
  if (!work.List(entries)) return {false, false, platform::LastSystemError()};
  // The archive being installed stays, wherever in the work directory it is;
  // nothing else does, and nothing is reached through a link.
  const KeepsEntry keepsArchive = [&keptFile](const platform::FolderHandle& parent, const std::string& name,
                                              const std::string&) {
    return !keptFile.empty() && parent.TypeOf(name) == platform::EntryType::kFile &&
           platform::IsSameFile(parent.PathOf(name), keptFile);
  };
  for (const platform::DirectoryEntry& entry : entries) {
    if (!KeptForRecovery(entry.name)) RemoveTreeKeeping(work, entry.name, entry.type, entry.name, keepsArchive);
  }
  // What still stands at the update folder's name (a file held open, the
  // archive itself) goes aside, so that the extraction writes only into a
  // folder this run made. A link that could not be removed as one is never
  // renamed: Wine renames what it leads to.
  if (work.TypeOf(kUpdateDirName) != platform::EntryType::kMissing && !work.HoldsLink(kUpdateDirName)) {
    work.Rename(kUpdateDirName, work, kDiscardedPrefix + platform::CopyToken());
  }
  if (work.MakeFolder(kUpdateDirName)) return {existed, true, 0};
  const int error = platform::LastSystemError();
  return {existed, false, error, work.HoldsLink(kUpdateDirName)};
}

bool CopyTree(const std::string& sourceDir, const std::string& targetDir) {
  const Placement placement = PlaceTree(sourceDir, targetDir);
  LogFailedCopies(placement.failedCopies);
  return placement.whole;
}

void LogFailedCopies(const std::vector<FailedCopy>& failedCopies) {
  for (const FailedCopy& copy : failedCopies) {
    LogFormatted(Error, kDriverLogSource, kCopyFailedLine, "source:%s, dist:%s, error:%d", copy.source.c_str(),
                 copy.target.c_str(), copy.error);
  }
}
