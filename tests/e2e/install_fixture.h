// Test support for the all-or-nothing install end to end: an installed old
// version, the archive of a new one that changes every kind of entry, and
// the installation as one comparable tree.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/update_run_fixture.h"
#include "tests/support/tree_snapshot.h"

namespace update_e2e {

/// The folder a mount script of the run's set-up made, from variable `name`; empty: none.
inline fs::path MountedFolder(const char* name) {
  return fs::path(std::getenv(name) ? std::getenv(name) : "").make_preferred();
}

class InstallRun : public UpdateRun {
 protected:
  void SetUp() override {
    UpdateRun::SetUp();
    WriteOldVersion();
    WriteArchive(zip_.string(), NewVersionEntries());
  }

  /// The old version: top-level files, merged folders, a file that becomes a
  /// folder and an empty folder that becomes a file.
  void WriteOldVersion() {
    std::error_code ignored;
    fs::remove_all(installDir_, ignored);
    WriteOldVersionInto(installDir_);
  }

  /// The old version's files, written into `dir` beside what it holds.
  static void WriteOldVersionInto(const fs::path& dir) {
    std::map<std::string, std::string> files = {{"readme.txt", "old readme"},      {"app.dat", "old data"},
                                                {"data/config.txt", "old config"}, {"data/kept.txt", "kept"},
                                                {"data/sub/deep.txt", "old deep"}, {"plugin", "old plugin file"},
                                                {"bin/tool", "old tool"}};
    for (int i = 0; i < 12; ++i) files["data/many/f" + std::to_string(i) + ".txt"] = "old " + std::to_string(i);
    WriteTree(dir, files);
    // Becomes a file; one that held anything would be refused before the stop.
    fs::create_directories(dir / "docs");
    // A folder whose every file the update replaces stays the installation's own.
    fs::permissions(dir / "data" / "many", fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  }

  static std::vector<EntryRecipe> NewVersionEntries() {
    std::vector<EntryRecipe> entries = {
        File("update/readme.txt", "new readme"),         File("update/app.dat", "new data"),
        File("update/update.exe", "not for installing"), File("update/new.txt", "new top-level file"),
        File("update/data/config.txt", "new config"),    File("update/data/sub/deep.txt", "new deep"),
        File("update/data/sub/new.txt", "new in sub"),   File("update/plugin/p.dll", "plugin folder"),
        File("update/docs", "docs became a file"),       File("update/lib/x.dll", "new library"),
        File("update/lib/y/z.dll", "new nested"),        Program("update/bin/tool", "new tool")};
    for (int i = 0; i < 12; ++i) {
      entries.push_back(File("update/data/many/f" + std::to_string(i) + ".txt", "new " + std::to_string(i)));
    }
    return entries;
  }

  /// The installation without its work directory.
  TreeSnapshot Installation() const { return SnapshotTree(installDir_, "temp"); }

  bool JournalLeft() const { return fs::exists(installDir_ / "temp" / ".update-journal"); }

  /// Runs an update of the installation with an application that is not
  /// there, so that nothing is stopped or started.
  RunResult UpdateWithoutApp(const std::string& zip, const fs::path& captureDir = {}) {
    return Update({"--exeName", "absent.exe", "--zipFile", zip, "--dstPath", installDir_.string()}, captureDir);
  }

  /// The new version's tree, from a clean install of it; the old one is back afterwards.
  TreeSnapshot NewVersion() {
    const RunResult result = UpdateWithoutApp(zip_.string());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_FALSE(JournalLeft());
    const TreeSnapshot tree = Installation();
    WriteOldVersion();
    return tree;
  }
};

// An installation whose folder "addons" links to another volume, where the user
// keeps a file: made by tests/e2e/other_volume.sh when the tests run as root.
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
    // A name as long as a volume takes: the copy staged beside it has a short one.
    entries.insert(entries.end(), {File("update/addons/a.txt", "new a"), File("update/addons/new/b.txt", "new b"),
                                   File("update/addons/" + kLongName, "long name")});
    WriteArchive(zip_.string(), entries);
  }

  void WriteOldVersions() {  // on both volumes, the links kept
    std::error_code ignored;
    for (const fs::path& dir : {installDir_, linked_}) {
      for (const auto& entry : fs::directory_iterator(dir, ignored)) {
        if (entry.path() != installDir_ / "addons" && entry.path() != installDir_ / "skins") {
          fs::remove_all(entry.path(), ignored);
        }
      }
    }
    WriteOldVersionInto(installDir_);
    WriteTree(linked_, {{"a.txt", "old a"}, {"mine.txt", "the user's"}});
  }

  static inline const std::string kLongName = std::string(246, 'n') + ".txt";
  fs::path linked_;
};

}  // namespace update_e2e
