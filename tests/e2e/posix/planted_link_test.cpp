// Linux, as root: an installation that an unprivileged user can write, and
// links planted in its work folder while a root run extracts, each at the
// moment a folder or file of the extraction is about to be made (the fault
// library's hook). Nothing outside the installation changes; the run
// installs without using the link or fails with a reason.
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/e2e/install_fixture.h"
#include "tests/e2e/posix/fault_plan.h"

using namespace update_e2e;

namespace {

// The user who can write the installation: nobody.
constexpr uid_t kOtherUser = 65534;

struct PlantedCase {
  const char* what;
  const char* plantedWhen;  // the path end, below temp, whose making plants the link; empty: none
  const char* plantedAt;    // where, below temp; empty: that very path
  const char* leadsTo;      // below the root-only folder
  bool updateFolderTheirs;  // temp/update made beforehand by the other user
  int exitCode;
  int line;
  const char* linePath;  // below temp
};

const std::vector<PlantedCase> kCases = {
    {"a link at a folder", "update/zz", "", "", false, 3, kOwnNameLinkLine, "update/zz"},
    {"a link at a file", "update/zz/p05.txt", "", "p05.txt", false, 3, kOwnNameLinkLine, "update/zz/p05.txt"},
    {"a link beside the entries", "update/zz", "update/evil", "", false, 4, kOwnNameLinkLine, "update/evil"},
    {"a link inside a folder moved whole", "update/zz/p05.txt", "update/zz/evil", "", false, 4, kOwnNameLinkLine,
     "update/zz/evil"},
    // The clear sets it aside and makes the run's own: the update installs.
    {"the update folder made by the other user", "", "", "", true, 0, 0, ""},
};

class PlantedLink : public InstallRun {
 protected:
  // Stands for a folder only root may read, such as /root: twenty files
  // an archive's update/zz would overwrite through a link.
  void SetUp() override {
    InstallRun::SetUp();
    rootOnly_ = root_.path() / "root-only";
    std::map<std::string, std::string> files;
    for (int i = 0; i < 20; ++i) files[Numbered(i)] = "root's own " + std::to_string(i);
    WriteTree(rootOnly_, files);
    fs::permissions(rootOnly_, fs::perms::owner_all);
    std::vector<EntryRecipe> entries = NewVersionEntries();
    for (int i = 0; i < 20; ++i) entries.push_back(File("update/zz/" + Numbered(i), "the archive's"));
    WriteArchive(zip_.string(), entries);
  }

  static std::string Numbered(int i) { return std::string("p") + (i < 10 ? "0" : "") + std::to_string(i) + ".txt"; }

  // The installation, its work folder included, becomes the other user's.
  void GiveInstallationAway() const {
    for (const auto& entry : fs::recursive_directory_iterator(installDir_)) {
      EXPECT_EQ(lchown(entry.path().c_str(), kOtherUser, kOtherUser), 0) << entry.path();
    }
    EXPECT_EQ(chown(installDir_.c_str(), kOtherUser, kOtherUser), 0);
  }

  fs::path rootOnly_;
};

}  // namespace

TEST_F(PlantedLink, NothingOutsideTheInstallationChanges) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root, to run the updater with more rights than the installation's user";
  const TreeSnapshot outside = SnapshotTree(rootOnly_);
  for (const PlantedCase& planted : kCases) {
    WriteOldVersion();
    const fs::path work = installDir_ / "temp";
    fs::create_directories(work);
    if (planted.updateFolderTheirs) fs::create_directories(work / "update");
    GiveInstallationAway();
    const TreeSnapshot before = Installation();
    Settings settings;
    if (*planted.plantedWhen != '\0') {
      settings = {{"UPDATE_FAULT_PLANT_WHEN", "/temp/" + std::string(planted.plantedWhen)},
                  {"UPDATE_FAULT_PLANT_TO", (rootOnly_ / planted.leadsTo).string()}};
      if (*planted.plantedAt != '\0')
        settings.push_back({"UPDATE_FAULT_PLANT_AT", (work / planted.plantedAt).string()});
    }
    RunResult result;
    {
      const FaultPlan plan(settings);
      result = UpdateWithoutApp(zip_.string());
    }
    EXPECT_EQ(SnapshotTree(rootOnly_), outside) << planted.what;
    EXPECT_EQ(result.exitCode, planted.exitCode) << planted.what << ": " << result.err;
    if (planted.exitCode != 0) {
      const std::string message =
          planted.line == kOwnNameLinkLine ? "Link Where Own File Should Be:" : "Folder Not The Updater's Own:";
      ExpectLogInOrder({{kError, planted.line, message + (work / planted.linePath).string()}});
      EXPECT_EQ(Installation(), before) << planted.what;
    }
    fs::remove_all(work);
  }
}
