// Linux only: the copy keeps the mode bits, copies a link as a link and
// replaces a running program's file.
#include "platform/file_copy.h"

#include <filesystem>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

TEST(PosixFileCopy, KeepsModeBits) {
  TempDir dir;
  WriteFileBytes(dir.path() / "tool", "#!/bin/sh\n");
  fs::permissions(dir.path() / "tool", fs::perms::owner_all | fs::perms::group_read);
  ASSERT_TRUE(platform::CopyFileReplacing(dir.str("tool"), dir.str("copy")));
  struct stat status {};
  ASSERT_EQ(stat(dir.str("copy").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0740u);
}

TEST(PosixFileCopy, TargetDirectoryIsRefused) {
  TempDir dir;
  WriteFileBytes(dir.path() / "a", "a");
  fs::create_directory(dir.path() / "d");
  EXPECT_FALSE(platform::CopyFileReplacing(dir.str("a"), dir.str("d")));
  EXPECT_TRUE(fs::is_directory(dir.path() / "d"));
}

// A link is copied as a link, dangling or not, over a file or a link, and
// what the old link led to is left as it was.
TEST(PosixFileCopy, CopiesALinkAsALink) {
  TempDir dir;
  fs::create_directories(dir.path() / "from");
  fs::create_directories(dir.path() / "into");
  WriteFileBytes(dir.path() / "from" / "lib.so.1", "library");
  WriteFileBytes(dir.path() / "into" / "file", "old file");
  WriteFileBytes(dir.path() / "into" / "pointed-at", "untouched");
  fs::create_symlink("lib.so.1", dir.path() / "from" / "lib.so");
  fs::create_symlink("missing", dir.path() / "from" / "dangling");
  fs::create_symlink("pointed-at", dir.path() / "into" / "old-link");
  for (const auto& [source, target] :
       {std::pair<const char*, const char*>{"lib.so", "file"}, {"dangling", "old-link"}, {"lib.so", "new"}}) {
    ASSERT_TRUE(platform::CopyFileReplacing(dir.str("from/") + source, dir.str("into/") + target)) << target;
    ASSERT_TRUE(fs::is_symlink(dir.path() / "into" / target)) << target;
    EXPECT_EQ(fs::read_symlink(dir.path() / "into" / target), fs::read_symlink(dir.path() / "from" / source));
  }
  EXPECT_EQ(testing_support::ReadFileBytes(dir.path() / "into" / "pointed-at"), "untouched");
  // Nothing staged is left behind in either directory.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "from"), fs::directory_iterator()), 3);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "into"), fs::directory_iterator()), 4);
}
