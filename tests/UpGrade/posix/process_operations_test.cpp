// Linux only: a process whose program file was replaced under it is still found by name.
#include "UpGrade/process_operations.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/file_copy.h"
#include "tests/support/test_programs.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using namespace testing_support;

TEST(PosixProcessControl, FindsAProgramWhoseFileWasReplaced) {
  TempDir dir;
  const std::string name = UniqueProgramName("app");
  const auto app = StartFakeAppAs(dir.path(), name);
  ASSERT_TRUE(app);
  // An update renames a new file over the running one; the kernel then shows
  // the process's program as "<path> (deleted)".
  WriteFileBytes(dir.path() / "new", "new program");
  ASSERT_TRUE(platform::CopyFileReplacing(dir.str("new"), dir.str(name)));
  EXPECT_TRUE(IsProcessRunning(name));
  ASSERT_TRUE(KillProcessByName(name));
  EXPECT_TRUE(app->WaitForExit());
  EXPECT_FALSE(IsProcessRunning(name));
}
