// Paths of the install.
#include "install/install_paths.h"

#include "install/install.h"
#include "platform/file_system.h"
#include "zip/zip_paths.h"

std::string JoinPath(const std::string& folder, const std::string& name) {
  return folder.empty() ? name : folder + platform::kPathSeparator + name;
}

std::string ParentOf(const std::string& path) {
  const std::size_t end = path.rfind(platform::kPathSeparator);
  return end == std::string::npos ? std::string() : path.substr(0, end);
}

std::string LastNameOf(const std::string& path) { return path.substr(path.rfind(platform::kPathSeparator) + 1); }

std::string JoinNames(const std::vector<std::string>& names) {
  std::string path;
  for (const std::string& name : names) path = JoinPath(path, name);
  return path;
}

std::vector<std::string> NamesBelowUpdate(const std::string& entryName) {
  const std::vector<std::string> names = entryPathNames(entryName);
  if (names.size() < 2 || !startsWithNames(names, {kUpdateDirName})) return {};
  return std::vector<std::string>(names.begin() + 1, names.end());
}
