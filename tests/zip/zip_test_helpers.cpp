// Small helpers shared by the zip tests: an archive's bytes, a runtime
// error's text, a file's stamp as local time, what a directory holds.
#include "tests/zip/zip_test_helpers.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include <sys/stat.h>

#include "platform/clock.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace zip_testing {

std::string ArchiveBytes(const std::vector<EntryRecipe>& entries) {
  testing_support::TempDir scratch;
  const std::string path = scratch.str("made.zip");
  WriteArchive(path, entries);
  return testing_support::ReadFileBytes(path);
}

std::unique_ptr<ZipReader> OpenArchive(const std::string& path, const std::vector<EntryRecipe>& entries) {
  WriteArchive(path, entries);
  return std::make_unique<ZipReader>(path, "");
}

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::runtime_error& error) {
    return error.what();
  }
  return "no error";
}

std::tm LocalWriteTime(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) return std::tm{};
  return platform::LocalTime(static_cast<std::int64_t>(status.st_mtime));
}

std::vector<std::string> TreeOf(const std::string& directory) {
  std::vector<std::string> found;
  std::error_code ignored;
  for (auto it = fs::recursive_directory_iterator(directory, ignored); it != fs::recursive_directory_iterator();
       it.increment(ignored)) {
    found.push_back(fs::relative(it->path(), directory).generic_string());
  }
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace zip_testing
