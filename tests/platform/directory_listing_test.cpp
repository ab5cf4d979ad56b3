// One walk of a directory gives each entry's own type: a link is a link,
// even a dangling one, never what it leads to.
#include "platform/directory_listing.h"

#include <filesystem>
#include <map>

#include <gtest/gtest.h>

#include "platform/symbolic_link.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using platform::EntryType;

TEST(DirectoryListing, GivesEachEntryItsOwnType) {
  testing_support::TempDir dir;
  testing_support::WriteFileBytes(dir.path() / "file.txt", "x");
  testing_support::WriteFileBytes(dir.path() / "folder" / "inner.txt", "x");
  std::map<std::string, EntryType> expected = {{"file.txt", EntryType::kFile}, {"folder", EntryType::kDirectory}};
  if (platform::kMakesSymbolicLinks) {
    fs::create_directory_symlink(dir.path() / "folder", dir.path() / "to-folder");
    fs::create_symlink(dir.path() / "missing", dir.path() / "dangling");
    expected["to-folder"] = EntryType::kLink;
    expected["dangling"] = EntryType::kLink;
  }
  std::vector<platform::DirectoryEntry> entries;
  ASSERT_TRUE(platform::ListDirectory(dir.str(), entries));
  std::map<std::string, EntryType> listed;
  for (const platform::DirectoryEntry& entry : entries) listed[entry.name] = entry.type;
  EXPECT_EQ(listed, expected);

  EXPECT_FALSE(platform::ListDirectory(dir.str("missing"), entries));
  EXPECT_FALSE(platform::ListDirectory(dir.str("file.txt"), entries));
  EXPECT_TRUE(entries.empty());
}
