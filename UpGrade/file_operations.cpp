// The driver's file operations: the archive test, clearing the work
// directory and installing the extracted tree.
#include "UpGrade/file_operations.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <utility>
#include <vector>

#include <dlib/dir_nav.h>

#include "UpGrade/directory_move.h"
#include "platform/entry_type.h"
#include "platform/file_copy.h"
#include "platform/file_identity.h"
#include "platform/file_search.h"
#include "platform/file_system.h"
#include "platform/system_error.h"
#include "util/is_directory.h"
#include "util/log.h"

namespace {

// Copy failures are logged under the driver's name and line, where readers of
// the log know them.
constexpr const char kSourceFile[] = "UpGrade/update";
constexpr int kCopyFailedLine = 149;

// The updater's own program name: the running updater is never overwritten.
constexpr const char kUpdaterName[] = "update.exe";

// Every entry of `dirPath` by name, "." and ".." left out. dlib judges each
// entry by its target, and a dangling link by the status of the entry listed
// before it, so a dangling link after a directory is in neither of its lists;
// the system's own search adds what dlib left out. Throws when dlib cannot
// list the directory.
std::vector<std::string> EntryNames(const std::string& dirPath) {
  const dlib::directory dir(dirPath);
  std::vector<std::string> names;
  for (const dlib::file& file : dir.get_files()) names.push_back(file.name());
  for (const dlib::directory& sub : dir.get_dirs()) names.push_back(sub.name());
  for (std::string& name : platform::FindMatchingNames(dirPath + platform::kPathSeparator + "*")) {
    if (name != "." && name != "..") names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
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
  std::vector<std::string> names;
  try {
    names = EntryNames(dirPath);
  } catch (const std::exception&) {
    // The directory went away or cannot be read after the test above.
    return false;
  }
  for (const std::string& name : names) {
    const std::string path = dirPath + platform::kPathSeparator + name;
    switch (platform::EntryTypeOf(path)) {
      // A link is removed as a link: what it leads to is not ours, and one
      // left in place would steer the next extraction through it.
      case platform::EntryType::kLink: platform::RemoveLink(path); break;
      case platform::EntryType::kDirectory: ClearDirectory(path, keptFile); break;
      // A file that cannot be deleted stays; the clear goes on.
      case platform::EntryType::kFile:
        if (keptFile.empty() || !platform::IsSameFile(path, keptFile)) std::remove(path.c_str());
        break;
      case platform::EntryType::kMissing: break;
    }
  }
  return true;
}

bool CopyTree(const std::string& sourceDir, const std::string& targetDir) {
  bool ok = true;
  try {
    const dlib::directory source(sourceDir);
    for (const dlib::directory& sub : source.get_dirs()) {
      ok = MoveDirectoryInto(sub.full_name(), targetDir, /*ownerWindow=*/nullptr) && ok;
    }
    for (const dlib::file& file : source.get_files()) {
      // The whole path is tested, so a source below a directory whose name
      // holds the text skips every file.
      if (file.full_name().find(kUpdaterName) != std::string::npos) continue;
      const std::string target = targetDir + platform::kPathSeparator + file.name();
      const bool copied = platform::CopyFileReplacing(file.full_name(), target);
      const int error = platform::LastSystemError();
      if (!copied) {
        LogFormatted(Error, kSourceFile, kCopyFailedLine, "source:%s, dist:%s, error:%d",
                     file.full_name().c_str(), target.c_str(), error);
      }
      ok = copied && ok;
    }
  } catch (const std::exception&) {
    return false;
  }
  return ok;
}
