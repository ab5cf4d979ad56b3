// The all-or-nothing install driven end to end on both systems: what is
// known before the stop stops nothing, and runs at once take turns.
#include <future>
#include <string>

#include <gtest/gtest.h>

#include "tests/e2e/install_fixture.h"

using namespace update_e2e;

TEST_F(InstallRun, AnArchiveWithoutUpdateEntriesStopsNothing) {
  // An earlier run leaves temp/update behind; the archive, not the folder, counts.
  const TreeSnapshot newVersion = NewVersion();
  ASSERT_EQ(UpdateWithoutApp(zip_.string()).exitCode, 0);
  const std::uint32_t pid = StartInstalledApp();
  const TreeSnapshot before = Installation();
  const std::size_t logBefore = LogText().size();
  for (const std::vector<EntryRecipe>& archive :
       {std::vector<EntryRecipe>{File("other/readme.txt", "misplaced")},
        std::vector<EntryRecipe>{File("updates/readme.txt", "misplaced"), File("readme.txt", "misplaced")}}) {
    WriteArchive(zip_.string(), archive);
    const RunResult result = UpdateApp(zip_.string(), installDir_.string());
    EXPECT_EQ(result.exitCode, 4);
  }
  const std::string install = installDir_.string();
  const std::string copyFailed = "Copy Files Source:" + Joined(Joined(install, "temp"), "update") + ", Target:" + install;
  ExpectLogInOrder({{kInfo, kSuccessLine, "Update App Success!"}, {kError, kCopyLine, copyFailed}, {kError, kCopyLine, copyFailed}});
  EXPECT_EQ(LogText().find("Stop Process Ret", logBefore), std::string::npos);
  EXPECT_TRUE(IsAlive(pid));
  EXPECT_EQ(Installation(), before);
  EXPECT_NE(Installation(), newVersion);
}

TEST_F(InstallRun, RunsStartedTogetherTakeTurnsAndBothInstall) {
  const TreeSnapshot newVersion = NewVersion();
  // Under Wine every run costs about a second; the Linux lane tries often.
  const int tries = platform::kPathSeparator[0] == '\\' ? 3 : 20;
  for (int attempt = 0; attempt < tries; ++attempt) {
    WriteOldVersion();
    fs::create_directories(root_.path() / "first");
    fs::create_directories(root_.path() / "second");
    auto first = std::async(std::launch::async, [&] { return UpdateWithoutApp(zip_.string(), root_.path() / "first"); });
    auto second = std::async(std::launch::async, [&] { return UpdateWithoutApp(zip_.string(), root_.path() / "second"); });
    EXPECT_EQ(first.get().exitCode, 0) << attempt;
    EXPECT_EQ(second.get().exitCode, 0) << attempt;
    ASSERT_EQ(Installation(), newVersion) << attempt;
    EXPECT_FALSE(JournalLeft());
  }
}
