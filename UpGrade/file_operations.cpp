// The driver's file operations: the archive test, clearing the work
// directory and installing the extracted tree.
#include "UpGrade/file_operations.h"

#include <exception>

#include <dlib/dir_nav.h>

#include "UpGrade/directory_move.h"
#include "UpGrade/own_file.h"
#include "platform/file_copy.h"
#include "platform/file_system.h"
#include "platform/system_error.h"
#include "util/is_directory.h"
#include "util/log.h"

namespace {

// Copy failures are logged under the driver's name and line, where readers of
// the log know them.
constexpr const char kSourceFile[] = "UpGrade/update";
constexpr int kCopyFailedLine = 149;

}  // namespace

bool FileExists(const std::string& filePath) {
  try {
    dlib::file probe(filePath);
    return true;
  } catch (const dlib::file::file_not_found&) {
    return false;
  }
}

bool ClearDirectory(const std::string& dirPath) {
  if (!IsDirectory(dirPath)) return false;
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
  for (const dlib::file& file : files) std::remove(file.full_name().c_str());
  // A linked directory is not part of the tree: its files lie elsewhere, and
  // a link back up the tree would recurse without end.
  for (const dlib::directory& sub : dirs) {
    if (!platform::IsLink(sub.full_name())) ClearDirectory(sub.full_name());
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
      if (IsUpdaterOwnFile(file.name())) continue;
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
