// The driver's file operations: the archive test, clearing the work
// directory and installing the extracted tree.
#include "UpGrade/file_operations.h"

#include <cstdio>
#include <vector>

#include "UpGrade/log_lines.h"
#include "install/install.h"
#include "log/log.h"
#include "platform/directory_listing.h"
#include "platform/entry_type.h"
#include "platform/file_identity.h"
#include "platform/file_names.h"
#include "platform/file_open.h"
#include "platform/file_search.h"
#include "platform/file_system.h"
#include "util/paths.h"

bool FileExists(const std::string& filePath) { return platform::FindsFile(filePath); }

namespace {

// True for the journal and the backup area of an install directly in the
// work directory: only recovery, which reads the journal, may remove them.
bool KeptForRecovery(const std::string& name) {
  return platform::SameFileName(name, kJournalName) || platform::SameFileName(name, kBackupDirName);
}

// ClearDirectory, passing over the entries of `dirPath` itself that
// `keptHere` names (none when null).
bool ClearDirectoryBut(const std::string& dirPath, const std::string& keptFile, bool (*keptHere)(const std::string&)) {
  // A linked work directory is someone else's directory: it is unlinked and
  // a directory of our own takes its place, empty.
  if (platform::IsLink(dirPath)) {
    return platform::RemoveLink(dirPath) && platform::MakeDirectory(dirPath);
  }
  if (!IsDirectory(dirPath)) return false;
  std::vector<platform::DirectoryEntry> entries;
  // The directory went away or cannot be read after the test above.
  if (!platform::ListDirectory(dirPath, entries)) return false;
  // A file that cannot be deleted stays; the clear goes on. A link is
  // removed as a link: what it leads to is not ours, and one left in place
  // would steer the next extraction through it.
  for (const platform::DirectoryEntry& entry : entries) {
    if (keptHere != nullptr && keptHere(entry.name)) continue;
    const std::string path = dirPath + platform::kPathSeparator + entry.name;
    switch (entry.type) {
      case platform::EntryType::kLink:
        platform::RemoveLink(path);
        break;
      case platform::EntryType::kFile:
        if (keptFile.empty() || !platform::IsSameFile(path, keptFile)) platform::RemoveFile(path);
        break;
      case platform::EntryType::kDirectory:
        ClearDirectoryBut(path, keptFile, nullptr);
        break;
      case platform::EntryType::kMissing:
        break;
    }
  }
  return true;
}

}  // namespace

bool ClearDirectory(const std::string& dirPath, const std::string& keptFile) {
  return ClearDirectoryBut(dirPath, keptFile, nullptr);
}

bool ClearWorkDirectory(const std::string& workDir, const std::string& keptFile) {
  return ClearDirectoryBut(workDir, keptFile, KeptForRecovery);
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
