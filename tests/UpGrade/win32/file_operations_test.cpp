// Windows only: a target file held open by another program.
#include "UpGrade/file_operations.h"

#include <filesystem>

#include <gtest/gtest.h>

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
