// Linux, as root: a link planted where the updater is about to make a file or
// folder of its own, by someone who can write the installation, at that very
// moment (the fault library plants it). Nothing outside the installation
// changes, and the run ends naming the link.
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include "install/install.h"
#include "tests/e2e/install_fixture.h"
#include "tests/e2e/posix/fault_plan.h"

using namespace update_e2e;

namespace {

struct PlantedLink {
  std::string relative;  // where the link is planted, relative to the installation
  bool toFolder;         // it leads to the root-only folder, not to a file in it
  int exitCode;
};

// The installation and what is in it become the unprivileged user's.
void GiveToNobody(const fs::path& dir) {
  const passwd* nobody = getpwnam("nobody");
  ASSERT_NE(nobody, nullptr);
  ASSERT_EQ(chown(dir.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    ASSERT_EQ(lchown(entry.path().c_str(), nobody->pw_uid, nobody->pw_gid), 0);
  }
}

}  // namespace

TEST_F(InstallRun, ALinkPlantedWhereTheUpdaterMakesItsOwnFileIsNeverFollowed) {
  if (geteuid() != 0) GTEST_SKIP() << "the threat is a root run and another user: run as root";
  const fs::path rootOnly = root_.path() / "root-only";
  WriteTree(rootOnly, {{"secret", "root's"}});
  fs::permissions(rootOnly, fs::perms::owner_all);
  fs::permissions(rootOnly / "secret", fs::perms::owner_read | fs::perms::owner_write);
  const TreeSnapshot theirs = SnapshotTree(rootOnly);
  const std::string work = std::string(kWorkDirName) + "/";
  const std::vector<PlantedLink> cases = {
      {kLockName, false, 4}, {kProbeName, false, 4}, {work + kJournalName, false, 4}, {work + kUpdateDirName, true, 3}};
  for (const PlantedLink& planted : cases) {
    WriteOldVersion();
    GiveToNobody(installDir_);
    const TreeSnapshot oldVersion = Installation();
    const fs::path at = installDir_ / planted.relative;
    RunResult result;
    {
      const FaultPlan plan({{"UPDATE_FAULT_PLANT_WHEN", "/" + planted.relative},
                            {"UPDATE_FAULT_PLANT_TO", (planted.toFolder ? rootOnly : rootOnly / "secret").string()}});
      result = UpdateWithoutApp(zip_.string());
    }
    EXPECT_EQ(result.exitCode, planted.exitCode) << planted.relative;
    ExpectLogInOrder({{kError, kOwnNameLinkLine, "Link Where Own File Should Be:" + at.string()}});
    EXPECT_EQ(SnapshotTree(rootOnly), theirs) << planted.relative;
    // The discard of a failed install removes a link at the journal's name as a link.
    std::error_code ignored;
    fs::remove(at, ignored);
    EXPECT_EQ(Installation(), oldVersion) << planted.relative;
  }
}
