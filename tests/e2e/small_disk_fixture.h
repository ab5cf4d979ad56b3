// Test support for the full-disk install: an installation on a small file
// system of its own, mounted on the host by the test run's set-up when the
// tests run as root (tests/e2e/small_disk.sh; its path comes in
// UPDATE_SMALL_DISK). Each system fills the disk its own way once the
// application is stopped: after the extraction and its check of the free
// space, before the install.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "platform/disk_space.h"
#include "tests/e2e/install_fixture.h"

namespace update_e2e {

class SmallDiskInstall : public InstallRun {
 protected:
  void SetUp() override {
    InstallRun::SetUp();
    const char* disk = std::getenv("UPDATE_SMALL_DISK");
    // The updater's own view of the room: the C++ library's under MinGW
    // answers for the whole drive, not for the file system mounted there.
    const std::optional<std::uint64_t> room = disk == nullptr ? std::nullopt : platform::FreeBytesOf(disk);
    if (!room || *room > (256u << 20)) {
      GTEST_SKIP() << "needs a small file system of its own: the tests run as root mount one";
    }
    const fs::path root = fs::path(disk).make_preferred();
    installDir_ = root / UniqueProgramName("install");
    filler_ = root / UniqueProgramName("filler");
    WriteOldVersion();
    // The top-level file is copied, not moved: it meets the full disk after
    // every other file is in place.
    std::vector<EntryRecipe> entries = NewVersionEntries();
    entries.push_back(File("update/big.bin", kBig));
    WriteArchive(zip_.string(), entries);
  }

  // Whatever a failed test left running from the small disk is stopped
  // before its folder goes, or it would keep the disk from being unmounted.
  void TearDown() override {
    InstallRun::TearDown();
    installedApp_.reset();
    std::error_code ignored;
    fs::remove_all(installDir_, ignored);
    fs::remove(filler_, ignored);
  }

  /// The run `failed` met the full disk and ended with 4, the installation
  /// as it was `before`, the application not started again; once the disk
  /// has room again, the update goes in. `diskFullError` is the system's
  /// code for a full disk.
  void ExpectTheOldVersionWholeThenTheNew(const RunResult& failed, const TreeSnapshot& before, int diskFullError) {
    EXPECT_EQ(failed.exitCode, 4) << failed.err;
    EXPECT_TRUE(fs::exists(filler_));
    EXPECT_EQ(Installation(), before);
    EXPECT_FALSE(JournalLeft());
    EXPECT_EQ(AppRecords().size(), 1u);
    const std::string workDir = Joined(installDir_.string(), "temp");
    ExpectLogInOrder({{kInfo, kStopLine, "Stop Process Ret:1"},
                      {kError, kCopyFailedLine,
                       "source:" + Joined(Joined(workDir, "update"), "big.bin") + ", dist:" +
                           Joined(installDir_.string(), "big.bin") + ", error:" + std::to_string(diskFullError)}});
    // The reason comes before the outcome it led to.
    const std::string log = LogText();
    const std::size_t restored =
        log.find(" " + std::to_string(kRestoredLine) + " Old Version Restored:1, Files Moved Back:");
    EXPECT_NE(restored, std::string::npos);
    EXPECT_LT(log.find(" " + std::to_string(kCopyFailedLine) + " source:"), restored);

    // With the room back, the update goes in and the application starts again.
    fs::remove(filler_);
    EXPECT_EQ(UpdateApp(zip_.string(), installDir_.string()).exitCode, 0);
    EXPECT_EQ(ReadFileBytes(installDir_ / "big.bin"), kBig);
    EXPECT_TRUE(WaitFor([&] { return AppRecords().size() == 2; }));
  }

  const std::string kBig = std::string(4u << 20, 'b');
  fs::path filler_;
};

}  // namespace update_e2e
