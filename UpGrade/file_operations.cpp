// The driver's file operations: the archive test, clearing the work
// directory and installing the extracted tree.
#include "UpGrade/file_operations.h"

#include <cstdio>
#include <vector>

#include "UpGrade/directory_move.h"
#include "UpGrade/log_lines.h"
#include "UpGrade/own_file.h"
#include "log/log.h"
#include "platform/directory_listing.h"
#include "platform/entry_type.h"
#include "platform/file_copy.h"
#include "platform/file_identity.h"
#include "platform/file_open.h"
#include "platform/file_search.h"
#include "platform/file_system.h"
#include "platform/system_error.h"
#include "util/paths.h"

namespace {

// Copies the top-level file `source` over `targetDir`'s file `name`; a link
// is copied as a link. A failed copy is logged with the system's code.
bool CopyTopLevelFile(const std::string& source, const std::string& name, const std::string& targetDir) {
  if (IsUpdaterOwnFile(name)) return true;
  const std::string target = targetDir + platform::kPathSeparator + name;
  const bool copied = platform::CopyFileReplacing(source, target);
  const int error = platform::LastSystemError();
  if (!copied) {
    LogFormatted(Error, kDriverLogSource, kCopyFailedLine, "source:%s, dist:%s, error:%d", source.c_str(),
                 target.c_str(), error);
  }
  return copied;
}

}  // namespace

bool FileExists(const std::string& filePath) { return platform::FindsFile(filePath); }

bool ClearDirectory(const std::string& dirPath, const std::string& keptFile) {
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

// Folders are merged first and links (the extraction's own, from an archive
// made on Unix) are placed last, as links, never as what they lead to.
bool CopyTree(const std::string& sourceDir, const std::string& targetDir) {
  std::vector<platform::DirectoryEntry> entries;
  if (!platform::ListDirectory(sourceDir, entries)) return false;
  bool ok = true;
  for (const platform::EntryType type :
       {platform::EntryType::kDirectory, platform::EntryType::kFile, platform::EntryType::kLink}) {
    for (const platform::DirectoryEntry& entry : entries) {
      if (entry.type != type) continue;
      const std::string source = sourceDir + platform::kPathSeparator + entry.name;
      const bool placed = type == platform::EntryType::kDirectory
                              ? MoveDirectoryInto(source, targetDir, /*ownerWindow=*/nullptr)
                              : CopyTopLevelFile(source, entry.name, targetDir);
      ok = placed && ok;
    }
  }
  return ok;
}
