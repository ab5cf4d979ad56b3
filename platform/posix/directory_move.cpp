// POSIX backend of platform/directory_move.h: rename, and copy across file systems.
#include "platform/directory_move.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

#include "platform/file_copy.h"
#include "platform/file_system.h"
#include "platform/posix/rename_no_replace.h"

namespace {

// The last component of `path`, trailing separators ignored.
std::string LastComponent(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path.substr(path.rfind('/') + 1);
}

}  // namespace

platform::MoveOutcome platform::SystemMoveDirectoryInto(const std::string& fromDir, const std::string& intoDir, void*) {
  const std::string target = intoDir + "/" + LastComponent(fromDir);
  // Never over an existing folder, even an empty one (rename() would replace
  // it): the installation's folder, its mode and owner, stays, and is merged
  // into as Windows' shell does; a failed install gives its files back to it.
  if (RenameNoReplace(AT_FDCWD, fromDir.c_str(), AT_FDCWD, target.c_str())) {
    return MoveOutcome::Moved;
  }
  switch (errno) {
    // rename() does not merge into a directory of that name (a link to a
    // directory included); anything else of that name is nothing to merge into.
    case EEXIST:
    case ENOTEMPTY:
    case ENOTDIR:
      return IsExistingDirectory(target) ? MoveOutcome::LeftToMerge : MoveOutcome::Failed;
    // Nor does it cross file systems: the caller's merge moves file by file,
    // and a file is copied and its source deleted there.
    case EXDEV:
      return MoveOutcome::LeftToMerge;
    default:
      return MoveOutcome::Failed;
  }
}

bool platform::RenameEntry(const std::string& source, const std::string& target) {
  return RenameNoReplace(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str());
}

bool platform::MoveFileReplacing(const std::string& source, const std::string& target) {
  // rename() gives the target a new inode, so a program running from it keeps
  // the old one and the replacement cannot fail with ETXTBSY.
  if (std::rename(source.c_str(), target.c_str()) == 0) return true;
  if (errno != EXDEV) return false;
  return CopyFileReplacing(source, target) && unlink(source.c_str()) == 0;
}

bool platform::RemoveEmptyDirectory(const std::string& dir) { return rmdir(dir.c_str()) == 0; }
