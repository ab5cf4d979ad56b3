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

  // A directory of that name is there.
  EXPECT_EQ(platform::SystemMoveDirectoryInto(dir.str("temp/bin"), dir.str("app"), nullptr), MoveOutcome::LeftToMerge);
  EXPECT_EQ(ReadFileBytes(dir.path() / "temp" / "bin" / "new.dll"), "new");
  // A link to a directory: merged through the link.
  EXPECT_EQ(platform::SystemMoveDirectoryInto(dir.str("temp/linked"), dir.str("app2"), nullptr),
            MoveOutcome::LeftToMerge);
  // A file of that name, a missing source or target: nothing to merge into.
  EXPECT_EQ(platform::SystemMoveDirectoryInto(dir.str("temp/lib"), dir.str("app"), nullptr), MoveOutcome::Failed);
  EXPECT_EQ(platform::SystemMoveDirectoryInto(dir.str("temp/missing"), dir.str("app"), nullptr), MoveOutcome::Failed);
  EXPECT_EQ(platform::SystemMoveDirectoryInto(dir.str("temp/bin"), dir.str("missing"), nullptr), MoveOutcome::Failed);
  EXPECT_TRUE(fs::is_directory(dir.path() / "temp" / "lib"));
  // An empty directory of that name is merged into too, never replaced: the
  // installation's directory, its mode and owner, stays.
  fs::create_directory(dir.path() / "app" / "empty");
  fs::permissions(dir.path() / "app" / "empty", fs::perms::owner_all);
  WriteFileBytes(dir.path() / "temp" / "empty" / "x.txt", "x");
  EXPECT_EQ(platform::SystemMoveDirectoryInto(dir.str("temp/empty"), dir.str("app"), nullptr),
            MoveOutcome::LeftToMerge);
  EXPECT_EQ(fs::status(dir.path() / "app" / "empty").permissions() & fs::perms::mask, fs::perms::owner_all);
}
