// The driver's file operations: the archive test, clearing the work
// directory and installing the extracted tree.
#include "UpGrade/file_operations.h"

#include <cstdio>
#include <exception>
#include <vector>

#include <dlib/dir_nav.h>

#include "UpGrade/directory_move.h"
#include "UpGrade/log_lines.h"
#include "UpGrade/own_file.h"
#include "log/log.h"
#include "platform/entry_type.h"
#include "platform/file_copy.h"
#include "platform/file_identity.h"
#include "platform/file_system.h"
#include "platform/system_error.h"
#include "util/file_listing.h"
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

bool FileExists(const std::string& filePath) {
  try {
    dlib::file probe(filePath);
    return true;
  } catch (const dlib::file::file_not_found&) {
    return false;
  }
}

bool ClearDirectory(const std::string& dirPath, const std::string& keptFile) {
  // A linked work directory is someone else's directory: it is unlinked and
  // a directory of our own takes its place, empty.
  if (platform::EntryTypeOf(dirPath) == platform::EntryType::kLink) {
    return platform::RemoveLink(dirPath) && platform::MakeDirectory(dirPath);
  }
  if (!IsDirectory(dirPath)) return false;
  // A link is removed as a link: what it leads to is not ours, and one left
  // in place would steer the next extraction through it.
  for (const std::string& link : ListLinks(dirPath)) platform::RemoveLink(link);
  std::vector<dlib::file> files;
  std::vector<dlib::directory> dirs;
  try {
    const dlib::directory dir(dirPath);
    files = dir.get_files();
    dirs = dir.get_dirs();
  } catch (const std::exception&) {
    // The directory went away or cannot be read after the test above.
    return false;
  }
  // A file that cannot be deleted stays; the clear goes on.
  for (const dlib::file& file : files) {
    const std::string& path = file.full_name();
    if (keptFile.empty() || !platform::IsSameFile(path, keptFile)) std::remove(path.c_str());
  }
  // A link that could not be removed is still not part of the tree: its
  // files lie elsewhere, and a link back up the tree would recurse without end.
  for (const dlib::directory& sub : dirs) {
    if (!platform::IsLink(sub.full_name())) ClearDirectory(sub.full_name(), keptFile);
  }
  return true;
}

// Links (the extraction's own, from an archive made on Unix) are placed as
// links after everything else, never as what they lead to; dlib lists them by
// their targets, or not at all when they dangle, so they are found apart.
bool CopyTree(const std::string& sourceDir, const std::string& targetDir) {
  bool ok = true;
  try {
    const dlib::directory source(sourceDir);
    for (const dlib::directory& sub : source.get_dirs()) {
      if (platform::IsLink(sub.full_name())) continue;
      ok = MoveDirectoryInto(sub.full_name(), targetDir, /*ownerWindow=*/nullptr) && ok;
    }
    for (const dlib::file& file : source.get_files()) {
      if (platform::IsLink(file.full_name())) continue;
      ok = CopyTopLevelFile(file.full_name(), file.name(), targetDir) && ok;
    }
    for (const std::string& link : ListLinks(sourceDir)) {
      ok = CopyTopLevelFile(link, FileNameOf(link), targetDir) && ok;
    }
  } catch (const std::exception&) {
    return false;
  }
  return ok;
}
