// POSIX backend of platform/folder_traits.h.
#include "platform/folder_traits.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#include <sys/stat.h>
#include <sys/xattr.h>

namespace {

// The folder's extended attributes as sorted "name=value" items; false when
// they cannot be read. A file system without them has none.
bool AppendAttributes(const std::string& dir, std::string& traits) {
  const ssize_t size = llistxattr(dir.c_str(), nullptr, 0);
  if (size < 0) return errno == ENOTSUP;
  std::string names(static_cast<std::size_t>(size), '\0');
  const ssize_t listed = llistxattr(dir.c_str(), names.data(), names.size());
  if (listed < 0) return false;
  std::vector<std::string> items;
  for (std::size_t at = 0; at < static_cast<std::size_t>(listed);) {
    const std::string name = names.c_str() + at;
    at += name.size() + 1;
    const ssize_t length = lgetxattr(dir.c_str(), name.c_str(), nullptr, 0);
    if (length < 0) return false;
    std::string value(static_cast<std::size_t>(length), '\0');
    const ssize_t read = lgetxattr(dir.c_str(), name.c_str(), value.data(), value.size());
    if (read < 0) return false;
    value.resize(static_cast<std::size_t>(read));
    items.push_back(name + '=' + value);
  }
  std::sort(items.begin(), items.end());
  for (const std::string& item : items) traits.append(item).push_back('\0');
  return true;
}

}  // namespace

platform::SystemRead<std::string> platform::FolderTraits(const std::string& dir) {
  struct stat info {};
  if (lstat(dir.c_str(), &info) != 0) return {{}, errno};
  if (!S_ISDIR(info.st_mode)) return {{}, ENOTDIR};
  // The file system too: a folder mounted over is never swapped, nor
  // anything holding one.
  std::string traits = std::to_string(info.st_dev) + ' ' + std::to_string(info.st_mode) + ' ' +
                       std::to_string(info.st_uid) + ' ' + std::to_string(info.st_gid) + '\0';
  if (!AppendAttributes(dir, traits)) return {{}, errno};
  return {traits, 0};
}
