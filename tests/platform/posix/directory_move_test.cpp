// Linux: the rename's error decides between merging and failing.
#include "platform/directory_move.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using platform::MoveOutcome;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

TEST(PosixSystemMoveDirectoryInto, TheRenameErrorSaysWhatIsLeft) {
  TempDir dir;
  WriteFileBytes(dir.path() / "temp" / "bin" / "new.dll", "new");
  WriteFileBytes(dir.path() / "app" / "bin" / "old.dll", "old");
  WriteFileBytes(dir.path() / "app" / "lib", "a file where the directory would go");
  fs::create_directory(dir.path() / "temp" / "lib");
  fs::create_directory(dir.path() / "real");
  fs::create_directory(dir.path() / "temp" / "linked");
  fs::create_directory(dir.path() / "app2");
  fs::create_directory_symlink(dir.path() / "real", dir.path() / "app2" / "linked");

  // ENOTEMPTY: a directory of that name is there.
  EXPECT_EQ(platform::SystemMoveDirectoryInto(dir.str("temp/bin"), dir.str("app"), nullptr),
            MoveOutcome::LeftToMerge);
  EXPECT_EQ(ReadFileBytes(dir.path() / "temp" / "bin" / "new.dll"), "new");
  // ENOTDIR onto a link to a directory: merged through the link.
  EXPECT_EQ(platform::SystemMoveDirectoryInto(dir.str("temp/linked"), dir.str("app2"), nullptr),
            MoveOutcome::LeftToMerge);
  // ENOTDIR onto a file, ENOENT for a missing source or target: nothing to merge into.
  EXPECT_EQ(platform::SystemMoveDirectoryInto(dir.str("temp/lib"), dir.str("app"), nullptr), MoveOutcome::Failed);
  EXPECT_EQ(platform::SystemMoveDirectoryInto(dir.str("temp/missing"), dir.str("app"), nullptr),
            MoveOutcome::Failed);
  EXPECT_EQ(platform::SystemMoveDirectoryInto(dir.str("temp/bin"), dir.str("missing"), nullptr),
            MoveOutcome::Failed);
  EXPECT_TRUE(fs::is_directory(dir.path() / "temp" / "lib"));
}
