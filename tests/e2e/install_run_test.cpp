// The all-or-nothing install driven end to end on both systems: what is
// known before the stop stops nothing, runs at once take turns, and a full
// disk leaves the old version whole.
#include <cstdlib>
#include <fstream>
#include <future>
#include <string>

#include <gtest/gtest.h>

#include "tests/e2e/install_fixture.h"

using namespace e2e_testing;

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
  ExpectLogInOrder({{kInfo, 242, "Update App Success!"}, {kError, 227, copyFailed}, {kError, 227, copyFailed}});
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

// A small file system of its own, mounted by the test run's set-up when it
// runs as root (tests/e2e/small_disk.sh); its path comes in UPDATE_SMALL_DISK.
TEST_F(InstallRun, AFullDiskLeavesTheOldVersionWhole) {
  const char* mounted = std::getenv("UPDATE_SMALL_DISK");
  // With its trailing separator: Wine gives the space of the file system
  // that holds the directory otherwise.
  const fs::path disk = fs::path(mounted == nullptr ? "" : mounted) / "";
  if (mounted == nullptr || !fs::is_directory(disk) || fs::space(disk).capacity > (64u << 20)) {
    GTEST_SKIP() << "needs a small file system of its own: the tests run as root mount one";
  }
  installDir_ = disk / UniqueProgramName("install");
  WriteOldVersion();
  // The top-level file is copied, not moved: with room for the extraction
  // only, its copy meets the full disk after everything else is in place.
  const std::string big(4u << 20, 'b');
  std::vector<EntryRecipe> entries = NewVersionEntries();
  entries.push_back(File("update/big.bin", big));
  WriteArchive(zip_.string(), entries);
  const TreeSnapshot before = Installation();
  const fs::path filler = disk / "filler";
  {
    const std::uintmax_t room = big.size() + (1u << 20);
    const std::uintmax_t fill = fs::space(disk).available - room;
    std::ofstream out(filler, std::ios::binary);
    const std::string chunk(1u << 16, 'f');
    for (std::uintmax_t written = 0; written + chunk.size() <= fill; written += chunk.size()) out << chunk;
  }
  const RunResult full = UpdateWithoutApp(zip_.string());
  EXPECT_EQ(full.exitCode, 4);
  EXPECT_EQ(Installation(), before);
  EXPECT_FALSE(JournalLeft());
  // The room comes back: a later run with the disk freed installs.
  fs::remove(filler);
  EXPECT_EQ(UpdateWithoutApp(zip_.string()).exitCode, 0);
  EXPECT_EQ(ReadFileBytes(installDir_ / "big.bin"), big);
  fs::remove_all(installDir_);
}
