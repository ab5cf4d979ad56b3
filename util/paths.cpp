// Path text: base directory, relative and absolute forms, names, parents, copies.
#include "util/paths.h"

#include <cstring>

#include "platform/file_access.h"
#include "platform/file_copy.h"
#include "platform/file_system.h"

namespace {

std::string PathBase;

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(const std::string& text, char last) { return !text.empty() && text.back() == last; }

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsAbsolute(const std::string& path) { return path.find(':') != std::string::npos || StartsWith(path, "\\\\"); }

// `path` without one trailing separator, and where its last separator is then.
struct SplitPoint {
  std::string trimmed;
  std::size_t separator;
};

SplitPoint LastSeparator(const std::string& path) {
  SplitPoint split{StripTrailingSeparator(path), std::string::npos};
  split.separator = split.trimmed.find_last_of("\\/");
  return split;
}

}  // namespace

void SetPathBase(const std::string& path) {
  PathBase = path;
  if (!PathBase.empty() && !EndsWith(PathBase, '\\')) PathBase += '\\';
}

std::string GetPathBase() { return PathBase; }

std::string MakeRelativePath(const std::string& path) {
  if (path.empty()) return {};
  if (StartsWith(path, ".\\") || StartsWith(path, "..\\")) return path;
  if (!IsAbsolute(path)) return ".\\" + path;
  // Without a base every absolute path lies outside it; ".\C:\x" would name nothing.
  if (PathBase.empty()) return path;
  if (path + '\\' == PathBase) return ".\\";
  if (StartsWith(path, PathBase)) return ".\\" + path.substr(PathBase.size());
  return path;
}

std::string MakeAbsolutePath(const std::string& path) {
  if (path.empty()) return {};
  // A network path ("\\server\share") is as absolute as one with a drive.
  if (IsAbsolute(path) || EndsWith(path, '\\')) return path;
  if (StartsWith(path, ".\\")) return PathBase + path.substr(2);
  if (StartsWith(path, "\\")) return PathBase + path.substr(1);
  return PathBase + path;
}

std::string StripTrailingSeparator(const std::string& path) {
  if (!path.empty() && IsSeparator(path.back())) return path.substr(0, path.size() - 1);
  return path;
}

void ToForwardSlashes(std::string& path, bool addTrailing) {
  if (path.empty()) return;
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  if (addTrailing && path.back() != '/') path += '/';
}

std::string FileNameOf(const std::string& path) {
  const SplitPoint split = LastSeparator(path);
  if (split.separator == std::string::npos) return split.trimmed;
  return split.trimmed.substr(split.separator + 1);
}

std::string ParentDirectoryOf(const std::string& path) {
  const SplitPoint split = LastSeparator(path);
  if (split.separator == std::string::npos) return {};
  return split.trimmed.substr(0, split.separator);
}

std::string DirectoryOfExistingFile(const std::string& path) {
  if (path.empty() || !CanOpenForReading(path.c_str())) return {};
  std::size_t last = path.rfind('\\');
  if (last == std::string::npos) last = path.rfind('/');
  if (last == std::string::npos) return {};
  return path.substr(0, last);
}

bool IsDirectory(const std::string& dirPath) { return platform::IsExistingDirectory(dirPath); }

bool CanOpenForReading(const char* path) { return platform::CanOpenFileForReading(path); }

bool IsDotEntry(const char* name) {
  return name != nullptr && (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0);
}

bool CopyFileInto(const std::string& filePath, const std::string& intoDir) {
  if (filePath.empty() || intoDir.empty()) return false;
  if (!CanOpenForReading(filePath.c_str())) return false;
  return platform::CopyFileReplacing(filePath, intoDir + FileNameOf(filePath));
}
