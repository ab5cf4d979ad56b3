// Which entries are directories: by name or attributes, never by size.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"
#include "tests/zip/archive_builder.h"
#include "tests/zip/zip_test_helpers.h"
#include "zip/zip_reader.h"

using namespace zip_testing;
namespace fs = std::filesystem;

namespace {

EntryRecipe Marked(const std::string& name, std::uint32_t versionMadeBy, std::uint32_t attributes) {
  EntryRecipe entry = File(name, "");
  entry.method = kStored;
  entry.versionMadeBy = versionMadeBy;
  entry.externalAttributes = attributes;
  return entry;
}

}  // namespace

// An empty __init__.py or lock file stays a file; the next update would
// otherwise meet a directory where the installation has a file.
TEST(DirectoryEntries, EmptyFilesAreFilesAndDirectoriesAreNamedOrMarked) {
  constexpr std::uint32_t kMadeOnDos = 20;
  constexpr std::uint32_t kDosDirectoryBit = 0x10;
  const std::vector<EntryRecipe> entries = {
      File("pkg/__init__.py", ""), File(".keep", ""), Marked("named/", kMadeOnDos, 0), Marked("back\\", kMadeOnDos, 0),
      Marked("dos_dir", kMadeOnDos, kDosDirectoryBit), Marked("unix_dir", kMadeOnUnix, 0040755u << 16),
      // The Unix file type wins over a DOS bit set beside it.
      Marked("unix_empty", kMadeOnUnix, (0100644u << 16) | kDosDirectoryBit)};
  testing_support::TempDir dir;
  ZipReader reader(AsBuffer(ArchiveBytes(entries)), "");
  ASSERT_TRUE(reader.extractAll(dir.str("out")));
  for (const char* file : {"pkg/__init__.py", ".keep", "unix_empty"}) {
    EXPECT_TRUE(fs::is_regular_file(dir.path() / "out" / file)) << file;
    EXPECT_EQ(fs::file_size(dir.path() / "out" / file), 0u) << file;
  }
  for (const char* directory : {"named", "back", "dos_dir", "unix_dir"}) {
    EXPECT_TRUE(fs::is_directory(dir.path() / "out" / directory)) << directory;
  }
}
