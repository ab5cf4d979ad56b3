// Moving a directory into another, merging with what is already there, on both systems.
#include "UpGrade/directory_move.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

// What every update after the first meets: the directory is already installed.
TEST(MoveDirectoryInto, MergesIntoAnExistingDirectoryOfThatName) {
  TempDir dir;
  const fs::path from = dir.path() / "temp" / "update" / "bin";
  const fs::path into = dir.path() / "app";
  WriteFileBytes(from / "same.dll", "new");
  WriteFileBytes(from / "added.dll", "added");
  WriteFileBytes(from / "deep" / "same.dat", "new deep");
  WriteFileBytes(from / "deep" / "more" / "added.dat", "added deep");
  fs::create_directories(from / "deep" / "empty");
  WriteFileBytes(into / "bin" / "same.dll", "old, and longer than the new file");
  WriteFileBytes(into / "bin" / "kept.dll", "kept");
  WriteFileBytes(into / "bin" / "deep" / "same.dat", "old deep");
  WriteFileBytes(into / "bin" / "deep" / "kept.dat", "kept deep");

  EXPECT_TRUE(MoveDirectoryInto(from.string(), into.string(), nullptr));

  EXPECT_EQ(ReadFileBytes(into / "bin" / "same.dll"), "new");
  EXPECT_EQ(ReadFileBytes(into / "bin" / "added.dll"), "added");
  EXPECT_EQ(ReadFileBytes(into / "bin" / "kept.dll"), "kept");
  EXPECT_EQ(ReadFileBytes(into / "bin" / "deep" / "same.dat"), "new deep");
  EXPECT_EQ(ReadFileBytes(into / "bin" / "deep" / "kept.dat"), "kept deep");
  EXPECT_EQ(ReadFileBytes(into / "bin" / "deep" / "more" / "added.dat"), "added deep");
  EXPECT_TRUE(fs::is_directory(into / "bin" / "deep" / "empty"));
  EXPECT_FALSE(fs::exists(from));
  EXPECT_TRUE(fs::is_empty(from.parent_path()));
}

TEST(MoveDirectoryInto, RefusesEmptyAndMissingPaths) {
  TempDir dir;
  WriteFileBytes(dir.path() / "from" / "x.txt", "x");
  fs::create_directory(dir.path() / "into");
  EXPECT_FALSE(MoveDirectoryInto("", dir.str("into"), nullptr));
  EXPECT_FALSE(MoveDirectoryInto(dir.str("from"), "", nullptr));
  EXPECT_FALSE(MoveDirectoryInto(dir.str("missing"), dir.str("into"), nullptr));
  EXPECT_EQ(ReadFileBytes(dir.path() / "from" / "x.txt"), "x");
  EXPECT_TRUE(fs::is_empty(dir.path() / "into"));
}
