// Windows only: a target file held open by another program, and paths too
// long for the shell's buffers.
#include "UpGrade/file_operations.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "UpGrade/directory_move.h"
#include "platform/directory_move.h"
#include "tests/UpGrade/install_fixture.h"
#include "tests/support/test_programs.h"

namespace fs = std::filesystem;
using namespace testing_support;

using WindowsCopyTreeTest = InstallTest;

TEST_F(WindowsCopyTreeTest, AFileHeldOpenWithoutSharingFailsWithSharingViolation) {
  const fs::path source = dir_.path() / "update";
  const fs::path app = dir_.path() / "app";
  WriteFileBytes(source / "a.txt", "new a");
  WriteFileBytes(source / "b.txt", "new b");
  WriteFileBytes(source / "c.txt", "new c");
  WriteFileBytes(app / "b.txt", "old b");
  ChildProcess holder(HelperProgram("hold_file"), {(app / "b.txt").string()});
  ASSERT_TRUE(holder.started());
  ASSERT_TRUE(WaitForFile((app / "b.txt").string() + ".held"));

  EXPECT_FALSE(CopyTree(source.string(), app.string()));

  EXPECT_EQ(ReadFileBytes(app / "a.txt"), "new a");
  EXPECT_EQ(ReadFileBytes(app / "c.txt"), "new c");
  const std::vector<std::string> messages = CopyFailureMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "source:" + (source / "b.txt").string() + ", dist:" + (app / "b.txt").string() + ", error:32");
}

TEST(WindowsMoveDirectoryInto, PathsTooLongForTheShellAreMovedByRenames) {
  TempDir dir;
  WriteFileBytes(dir.path() / "from" / "x.txt", "x");
  fs::create_directory(dir.path() / "into");
  // The same directories, spelled with enough "." steps not to fit 518 units.
  std::string longFrom = dir.str();
  while (longFrom.size() < 520) longFrom += "\\.";
  longFrom += "\\from";
  std::string longInto = dir.str();
  while (longInto.size() < 520) longInto += "\\.";
  longInto += "\\into";
  // The shell is not asked: its plain form cannot name them.
  EXPECT_EQ(platform::SystemMoveDirectoryInto(longFrom, dir.str("into"), nullptr), platform::MoveOutcome::LeftToMerge);
  EXPECT_TRUE(MoveDirectoryInto(longFrom, longInto, nullptr));
  EXPECT_EQ(ReadFileBytes(dir.path() / "into" / "from" / "x.txt"), "x");
  EXPECT_FALSE(fs::exists(dir.path() / "from"));
}
