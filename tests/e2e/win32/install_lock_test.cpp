// Under Wine: runs that spell one installation differently (a drive alias,
// the 8.3 name, a \\localhost share, "\\?\", which the holder that keeps
// them waiting uses too) take turns and both install.
#include <cstdlib>
#include <fstream>
#include <future>

#include <windows.h>
#include <gtest/gtest.h>

#include "install/install.h"
#include "platform/install_lock.h"
#include "tests/e2e/install_fixture.h"

using namespace update_e2e;

TEST_F(InstallRun, RunsUnderTwoSpellingsOfOneInstallationTakeTurns) {
  // A folder with a drive letter and a share of its own (drive_alias.sh).
  const char* aliased = std::getenv("UPDATE_DRIVE_ALIAS");
  std::string letter, share;
  if (aliased != nullptr) std::ifstream(fs::path(aliased) / "aliases") >> letter >> share;
  if (letter.empty()) GTEST_SKIP() << "needs the drive letter and share that drive_alias.sh makes";
  const std::string name = "Installed App " + std::to_string(GetCurrentProcessId());
  installDir_ = fs::path(aliased).make_preferred() / name;
  WriteOldVersion();
  const TreeSnapshot newVersion = NewVersion();
  const std::string plain = installDir_.u8string();
  std::wstring shortName(MAX_PATH, L'\0');
  shortName.resize(GetShortPathNameW(installDir_.c_str(), shortName.data(), MAX_PATH));
  for (const std::string& spelling : {letter + "\\" + name, fs::path(shortName).u8string(),
                                      "\\\\localhost\\" + share + "\\" + name, "\\\\?\\" + plain}) {
    for (int attempt = 0; attempt < 2; ++attempt) {
      WriteOldVersion();
      const std::size_t logBefore = LogText().size();
      // Held here through "\\?\" until both runs wait, however long each
      // takes to start; then they race.
      auto held = std::make_unique<platform::InstallLock>("\\\\?\\" + plain, kLockName, 0);
      const auto run = [&](const std::string& dstPath, const char* dir) {
        fs::create_directories(root_.path() / dir);
        return Update({"--exeName", "absent.exe", "--zipFile", zip_.string(), "--dstPath", dstPath},
                      root_.path() / dir);
      };
      auto first = std::async(std::launch::async, run, plain, "first");
      auto second = std::async(std::launch::async, run, spelling, "second");
      const auto waits = [&](const std::string& dstPath) {
        return LogText().find("Waiting For Another Update:" + dstPath + "\n", logBefore) != std::string::npos;
      };
      EXPECT_TRUE(WaitFor([&] { return waits(plain) && waits(spelling); })) << spelling;
      held.reset();
      EXPECT_EQ(first.get().exitCode, 0) << spelling;
      EXPECT_EQ(second.get().exitCode, 0) << spelling;
      EXPECT_EQ(Installation(), newVersion) << spelling;
      EXPECT_FALSE(JournalLeft());
    }
  }
  fs::remove_all(installDir_);
}
