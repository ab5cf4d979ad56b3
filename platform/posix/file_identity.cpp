// POSIX backend of platform/file_identity.h.
#include "platform/file_identity.h"

#include <sys/stat.h>

bool platform::IsSameFile(const std::string& left, const std::string& right) {
  struct stat first {}, second {};
  if (stat(left.c_str(), &first) != 0 || stat(right.c_str(), &second) != 0) return false;
  return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}
