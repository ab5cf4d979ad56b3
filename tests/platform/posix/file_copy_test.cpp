// Linux only: the copy keeps the mode bits and replaces a running program's file.
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
