// The system's own move of a directory says what it did, on both systems.
#include "platform/directory_move.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using platform::MoveOutcome;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

TEST(SystemMoveDirectoryInto, MovesTheWholeTreeIntoAFreeName) {
  TempDir dir;
  WriteFileBytes(dir.path() / "temp" / "bin" / "deep" / "a.dll", "a");
  fs::create_directory(dir.path() / "app");
  EXPECT_EQ(platform::SystemMoveDirectoryInto(dir.str("temp/bin"), dir.str("app"), nullptr), MoveOutcome::Moved);
  EXPECT_EQ(ReadFileBytes(dir.path() / "app" / "bin" / "deep" / "a.dll"), "a");
  EXPECT_FALSE(fs::exists(dir.path() / "temp" / "bin"));
}

// Windows merges at once; Wine's shell and a Linux rename leave the whole
// tree in place for the caller. Either way the answer matches the disk.
TEST(SystemMoveDirectoryInto, ATakenNameIsMergedOrLeftWhole) {
  TempDir dir;
  WriteFileBytes(dir.path() / "temp" / "bin" / "new.dll", "new");
  WriteFileBytes(dir.path() / "app" / "bin" / "old.dll", "old");
  const MoveOutcome outcome = platform::SystemMoveDirectoryInto(dir.str("temp/bin"), dir.str("app"), nullptr);
  EXPECT_EQ(ReadFileBytes(dir.path() / "app" / "bin" / "old.dll"), "old");
  if (outcome == MoveOutcome::Moved) {
    EXPECT_EQ(ReadFileBytes(dir.path() / "app" / "bin" / "new.dll"), "new");
    EXPECT_FALSE(fs::exists(dir.path() / "temp" / "bin"));
  } else {
    ASSERT_EQ(outcome, MoveOutcome::LeftToMerge);
    EXPECT_EQ(ReadFileBytes(dir.path() / "temp" / "bin" / "new.dll"), "new");
  }
}
