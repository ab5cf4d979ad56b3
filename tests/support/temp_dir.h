// A fresh directory for one test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  /// The directory as the program's narrow text, with `relative` joined by the system's separator.
  std::string str(const std::string& relative = {}) const;

 private:
  std::filesystem::path path_;
};

/// Whole contents of a file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& file);

/// Writes `bytes` as the whole of `file`, creating parent directories.
void WriteFileBytes(const std::filesystem::path& file, const std::string& bytes);

/// The permission bits of `file` (links followed) as in 0755, set-user-ID
/// and the like included; 0 when it cannot be read.
unsigned PermissionsOf(const std::filesystem::path& file);

}  // namespace testing_support
