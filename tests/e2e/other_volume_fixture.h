// Test support for an install through a folder linked to another volume:
// the installation "install" whose folder "addons" is a link to a small
// file system of its own, made on the host by the test run's set-up when the
// tests run as root (tests/e2e/other_volume.sh; its folder comes in
// UPDATE_OTHER_VOLUME), and the archive of a new version that replaces a
// file there and brings a new folder.
#pragma once

#include <string>
#include <system_error>
#include <vector>

#include "tests/e2e/install_fixture.h"

namespace update_e2e {

class OtherVolumeInstall : public InstallRun {
 protected:
  void SetUp() override {
    InstallRun::SetUp();
    const fs::path root = MountedFolder("UPDATE_OTHER_VOLUME");
    if (root.empty() || !fs::is_directory(root / "volume" / "addons")) {
      GTEST_SKIP() << "needs a folder linked to another volume: the tests run as root make one";
    }
    linked_ = root / "volume" / "addons";
    installDir_ = root / "install";
    WriteOldVersions();
    std::vector<EntryRecipe> entries = NewVersionEntries();
    entries.push_back(File("update/addons/a.txt", "new a"));
    entries.push_back(File("update/addons/new/b.txt", "new b"));
    WriteArchive(zip_.string(), entries);
  }

  void TearDown() override {
    InstallRun::TearDown();
    if (!linked_.empty()) Clear();
  }

  // Both volumes' old version, the link kept.
  void WriteOldVersions() {
    Clear();
    WriteOldVersionInto(installDir_);
    WriteTree(linked_, {{"a.txt", "old a"}, {"mine.txt", "the user's"}});
  }

  void Clear() const {
    std::error_code ignored;
    for (const fs::path& dir : {installDir_, linked_}) {
      for (const auto& entry : fs::directory_iterator(dir, ignored)) {
        if (entry.path() != installDir_ / "addons") fs::remove_all(entry.path(), ignored);
      }
    }
  }

  fs::path linked_;
};

}  // namespace update_e2e
