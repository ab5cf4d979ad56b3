// The driver's installation of one directory of new files into the application's directory.
#include "UpGrade/directory_move.h"

#include <exception>

#include <dlib/dir_nav.h>

#include "platform/directory_move.h"
#include "platform/file_system.h"

namespace {

// Moves `from` into `intoDir` entry by entry: files replace their namesakes,
// directories are merged the same way, and each source directory is removed
// once it is empty. Where the name is free, one rename moves the whole tree;
// where that fails (across file systems) the directory is rebuilt.
bool MergeInto(const dlib::directory& from, const std::string& intoDir) {
  const std::string target = intoDir + platform::kPathSeparator + from.name();
  if (!platform::IsExistingDirectory(target)) {
    if (platform::RenameDirectory(from.full_name(), target)) return true;
    if (!platform::MakeDirectory(target)) return false;
  }
  const std::vector<dlib::file> files = from.get_files();
  const std::vector<dlib::directory> dirs = from.get_dirs();
  bool ok = true;
  for (const dlib::file& file : files) {
    ok = platform::MoveFileReplacing(file.full_name(), target + platform::kPathSeparator + file.name()) && ok;
  }
  for (const dlib::directory& dir : dirs) ok = MergeInto(dir, target) && ok;
  return platform::RemoveEmptyDirectory(from.full_name()) && ok;
}

}  // namespace

bool MoveDirectoryInto(const std::string& fromDir, const std::string& intoDir, void* ownerWindow) {
  if (fromDir.empty() || intoDir.empty()) return false;
  // Wine's shell also reports success for a source that does not exist.
  if (!platform::IsExistingDirectory(fromDir)) return false;
  switch (platform::SystemMoveDirectoryInto(fromDir, intoDir, ownerWindow)) {
    case platform::MoveOutcome::Moved:
      return true;
    case platform::MoveOutcome::Failed:
      return false;
    case platform::MoveOutcome::LeftToMerge:
      // Every update after the first meets a directory of that name, which
      // neither Wine's shell nor a Linux rename merges into.
      break;
  }
  try {
    return MergeInto(dlib::directory(fromDir), intoDir);
  } catch (const std::exception&) {
    return false;
  }
}
