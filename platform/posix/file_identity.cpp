// POSIX backend of platform/file_identity.h.
#include "platform/file_identity.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

bool platform::IsSameFile(const std::string& left, const std::string& right) {
  struct stat first {
  }, second{};
  if (stat(left.c_str(), &first) != 0 || stat(right.c_str(), &second) != 0) return false;
  return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

platform::SystemRead<std::string> platform::FileIdentity(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) return {{}, errno};
  char text[48];
  std::snprintf(text, sizeof text, "%llx-%llx", static_cast<unsigned long long>(status.st_dev),
                static_cast<unsigned long long>(status.st_ino));
  return {text, 0};
}
