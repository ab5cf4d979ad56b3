// POSIX backend of platform/directory_move.h: rename, and copy across file systems.
#include "platform/directory_move.h"

#include <cerrno>
#include <cstdio>

#include <unistd.h>

#include "platform/file_copy.h"
#include "platform/file_system.h"

namespace {

// The last component of `path`, trailing separators ignored.
std::string LastComponent(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path.substr(path.rfind('/') + 1);
}

}  // namespace

bool platform::SystemMoveDirectoryInto(const std::string& fromDir, const std::string& intoDir, void*) {
  const std::string target = intoDir + "/" + LastComponent(fromDir);
  if (std::rename(fromDir.c_str(), target.c_str()) == 0) return true;
  // rename() neither merges into a directory of that name (ENOTDIR when the
  // installation's directory is a link to one) nor crosses file systems:
  // both are left for the caller, which merges entry by entry.
  const int error = errno;
  return error == EEXIST || error == ENOTEMPTY || error == EXDEV ||
         (error == ENOTDIR && IsExistingDirectory(target));
}

bool platform::RenameDirectory(const std::string& source, const std::string& target) {
  return std::rename(source.c_str(), target.c_str()) == 0;
}

bool platform::MoveFileReplacing(const std::string& source, const std::string& target) {
  // rename() gives the target a new inode, so a program running from it keeps
  // the old one and the replacement cannot fail with ETXTBSY.
  if (std::rename(source.c_str(), target.c_str()) == 0) return true;
  if (errno != EXDEV) return false;
  return CopyFileReplacing(source, target) && unlink(source.c_str()) == 0;
}

bool platform::RemoveEmptyDirectory(const std::string& dir) { return rmdir(dir.c_str()) == 0; }
