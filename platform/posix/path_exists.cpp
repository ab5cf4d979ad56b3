// POSIX backend of platform/path_exists.h.
#include "platform/path_exists.h"

#include <sys/stat.h>

bool platform::PathExists(const std::string& path) {
  struct stat status {};
  return lstat(path.c_str(), &status) == 0;
}
