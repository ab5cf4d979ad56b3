// Linux only: a process whose program file was replaced under it is still
// found by name; the stop asks first (SIGTERM) and forces only what stays.
#include "UpGrade/process_operations.h"

#include <chrono>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/file_copy.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_programs.h"

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

// The stop's grace: a program that saves when asked to end gets to save
// before anything is forced; one that ignores the request still goes,
// within the wait's bound.
TEST(PosixProcessControl, StopAsksFirstAndForcesWhatStays) {
  struct Case {
    const char* behaviour;
    std::chrono::milliseconds interval;
    bool saves;
  };
  // Saving gets whole seconds before the force; ignoring need not wait as long.
  for (const Case& c :
       {Case{"save", std::chrono::seconds(1), true}, Case{"ignore", std::chrono::milliseconds(100), false}}) {
    TempDir dir;
    const std::string name = UniqueProgramName("app");
    const auto app = StartHelperAs("stop_signals", dir.path(), name, {c.behaviour});
    ASSERT_TRUE(app) << c.behaviour;
    ASSERT_TRUE(KillProcessByName(name)) << c.behaviour;
    // Asking alone does not end a program that ignores it.
    EXPECT_EQ(WaitUntilStopped(name, /*polls=*/3, c.interval), c.saves) << c.behaviour;
    EXPECT_TRUE(EnsureStopped(name, /*polls=*/10, c.interval, /*forceAtPoll=*/5)) << c.behaviour;
    EXPECT_TRUE(app->WaitForExit()) << c.behaviour;
    EXPECT_EQ(fs::exists(dir.path() / (name + ".saved")), c.saves) << c.behaviour;
  }
}
