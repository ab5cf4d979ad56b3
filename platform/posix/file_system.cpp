// POSIX backend of platform/file_system.h.
#include "platform/file_system.h"

#include <cerrno>
#include <climits>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

const char platform::kPathSeparator[] = "/";

platform::SystemRead<std::string> platform::ExecutablePath() {
  std::vector<char> buffer(PATH_MAX + 1, '\0');
  const ssize_t length = readlink("/proc/self/exe", buffer.data(), PATH_MAX);
  if (length < 0) return {{}, errno};
  if (length == 0) return {{}, ENOENT};
  return {std::string(buffer.data(), static_cast<std::size_t>(length)), 0};
}

bool platform::SetCurrentDir(const std::string& path) { return chdir(path.c_str()) == 0; }

platform::SystemRead<std::string> platform::CurrentDir() {
  std::vector<char> buffer(PATH_MAX + 1, '\0');
  if (getcwd(buffer.data(), buffer.size()) == nullptr) return {{}, errno};
  return {buffer.data(), 0};
}

bool platform::IsExistingDirectory(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool platform::MakeDirectory(const std::string& path) { return mkdir(path.c_str(), 0777) == 0; }
