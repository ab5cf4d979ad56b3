// POSIX backend of platform/symbolic_link.h.
#include "platform/symbolic_link.h"

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

const bool platform::kMakesSymbolicLinks = true;

bool platform::MakeSymbolicLink(const std::string& target, const std::string& path) {
  if (symlink(target.c_str(), path.c_str()) == 0) return true;
  if (errno != EEXIST) return false;
  // Only a regular file gives way: a directory keeps what it holds, and a
  // link in the way is someone else's.
  struct stat status {};
  if (lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
    errno = EEXIST;
    return false;
  }
  return unlink(path.c_str()) == 0 && symlink(target.c_str(), path.c_str()) == 0;
}

platform::SystemRead<std::string> platform::LinkText(const std::string& path) {
  std::string text(4096, '\0');
  const ssize_t length = readlink(path.c_str(), &text[0], text.size());
  if (length < 0) return {{}, errno};
  text.resize(static_cast<std::size_t>(length));
  return {text, 0};
}
