// Linux only: link entries of archives made on Unix become symbolic links,
// and only those that keep to their folder; nothing is written through one.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"
#include "tests/zip/zip_test_helpers.h"
#include "zip/zip_reader.h"

using namespace zip_testing;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace fs = std::filesystem;

// The chain a Linux release ships for a library, listed before the file it
// ends at, a link to a directory, and one at the top that reaches down.
TEST(LinkEntries, BecomeLinksAfterEveryOtherEntry) {
  testing_support::TempDir dir;
  ZipReader reader(
      AsBuffer(ArchiveBytes(
          {Link("update/lib/libfoo.so", "libfoo.so.1"), Link("update/lib/libfoo.so.1", "./libfoo.so.1.2.3"),
           File("update/lib/libfoo.so.1.2.3", "library"), Link("update/libraries", "lib"),
           Link("update/foo.so", "libraries/libfoo.so"), Link("update/yet-to-come", "lib/installed-later.so")})),
      "");
  reader.setInstalledFolder("update");
  ASSERT_TRUE(reader.extractAll(dir.str()));
  const fs::path update = dir.path() / "update";
  const std::vector<std::pair<std::string, std::string>> links = {{"lib/libfoo.so", "libfoo.so.1"},
                                                                  {"lib/libfoo.so.1", "./libfoo.so.1.2.3"},
                                                                  {"libraries", "lib"},
                                                                  {"foo.so", "libraries/libfoo.so"},
                                                                  {"yet-to-come", "lib/installed-later.so"}};
  for (const auto& [name, target] : links) {
    ASSERT_TRUE(fs::is_symlink(update / name)) << name;
    EXPECT_EQ(fs::read_symlink(update / name).string(), target) << name;
  }
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(update / "lib/libfoo.so.1.2.3")));
  EXPECT_EQ(ReadFileBytes(update / "foo.so"), "library");
}

// Each archive is refused before anything is written: the destination keeps
// only what was there, and nothing appears beside it.
TEST(LinkEntries, RefusedWhenALinkCouldLeadOutOrBeWrittenThrough) {
  struct Case {
    const char* why;
    std::vector<EntryRecipe> entries;
    std::string onDiskLink;  // a link already in the destination, to "../outside"
  };
  const std::vector<Case> cases = {
      {"absolute", {Link("update/x", "/etc")}, ""},
      {"out of the destination", {Link("update/a/x", "../../../outside")}, ""},
      {"out of the update folder", {Link("update/x", "../other")}, ""},
      {"out of it on the way", {Link("update/x", "../update/y")}, ""},
      {"link outside the update folder", {Link("x", "update/y")}, ""},
      {"empty", {Link("update/x", "")}, ""},
      {"the update folder itself", {Link("update", "other")}, ""},
      {"cut short by a zero", {Link("update/x", std::string("y\0/../../..", 11))}, ""},
      // Followed by name it stays in update/a, but up leads to update, and
      // its parent then is the destination itself.
      {"through another link", {Link("update/a/b/up", "../.."), Link("update/x", "a/b/up/../y")}, ""},
      {"an entry below a link", {Link("update/d", "sub"), File("update/d/f.txt", "through")}, ""},
      {"a link over a link on disk", {Link("update/old", "new")}, "update/old"},
      {"a file over a link on disk", {File("update/old", "through")}, "update/old"},
      {"a file below a link on disk", {File("update/sub/f.txt", "through")}, "update/sub"},
  };
  for (const Case& c : cases) {
    testing_support::TempDir dir;
    const fs::path work = dir.path() / "temp";
    fs::create_directories(dir.path() / "outside");
    fs::create_directories(work / "update");
    if (!c.onDiskLink.empty()) fs::create_directory_symlink("../../outside", work / c.onDiskLink);
    const std::vector<std::string> before = TreeOf(work.string());
    std::vector<EntryRecipe> entries = c.entries;
    entries.insert(entries.begin(), File("update/first.txt", "first"));
    ZipReader reader(AsBuffer(ArchiveBytes(entries)), "");
    reader.setInstalledFolder("update");

    EXPECT_FALSE(reader.extractAll(work.string())) << c.why;
    EXPECT_EQ(TreeOf(work.string()), before) << c.why;
    EXPECT_TRUE(fs::is_empty(dir.path() / "outside")) << c.why;
    EXPECT_EQ(TreeOf(dir.path().string()).size(), before.size() + 2) << c.why;
  }
}

// Without a folder to keep to, a link may lead anywhere inside the destination.
TEST(LinkEntries, KeepToTheDestinationWhenNoFolderIsGiven) {
  testing_support::TempDir dir;
  WriteFileBytes(dir.path() / "shared.txt", "shared");
  ZipReader reader(AsBuffer(ArchiveBytes({Link("a/b/shared", "../../shared.txt")})), "");
  ASSERT_TRUE(reader.extractAll(dir.str()));
  EXPECT_EQ(ReadFileBytes(dir.path() / "a/b/shared"), "shared");
  ZipReader escaping(AsBuffer(ArchiveBytes({Link("a/up", "../..")})), "");
  EXPECT_FALSE(escaping.extractAll(dir.str()));
}
