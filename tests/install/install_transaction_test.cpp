// The all-or-nothing install on real trees: every kind of change goes in
// whole, and a journal left by a cut-off install is finished by recovery.
#include "install/install.h"

#include <filesystem>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "install/install_journal.h"
#include "install/install_layout.h"
#include "tests/UpGrade/install_fixture.h"
#include "tests/support/pinned_file.h"
#include "tests/support/tree_snapshot.h"

namespace fs = std::filesystem;
using testing_support::InstallTest;
using testing_support::SnapshotTree;
using testing_support::TreeSnapshot;
using testing_support::WriteFileBytes;
using testing_support::WriteTree;

namespace {

const std::map<std::string, std::string> kOldVersion = {
    {"app.exe", "old program"},   {"readme.txt", "old readme"},  {"data/config.txt", "old config"},
    {"data/kept.txt", "kept"},    {"plugin", "old plugin file"}, {"docs/a.txt", "old docs"},
    {"docs/deep/b.txt", "old b"}, {"res/a.txt", "old a"},        {"res/deep/b.txt", "old b"},
};

const std::map<std::string, std::string> kNewVersion = {
    {"app.exe", "new program"},        {"update.exe", "the updater"},
    {"data/config.txt", "new config"}, {"data/sub/new.txt", "new sub"},
    {"plugin/p.dll", "plugin folder"}, {"docs", "docs as a file"},
    {"lib/x.dll", "new library"},      {"res/a.txt", "new a"},
    {"res/deep/b.txt", "new b"},       {"res/c.txt", "new c"},
};

class InstallTransactionTest : public InstallTest {
 protected:
  void SetUp() override {
    InstallTest::SetUp();
    WriteTree(app_, kOldVersion);
    WriteTree(app_ / kWorkDirName / kUpdateDirName, kNewVersion);
  }

  std::string Work() const { return (app_ / kWorkDirName).string(); }
  std::string UpdateDir() const { return (app_ / kWorkDirName / kUpdateDirName).string(); }
  TreeSnapshot Installation() const { return SnapshotTree(app_, kWorkDirName); }
  std::string Backup(int number) const { return InstallLayout(app_.string(), Work()).Backup(number); }

  fs::path app_ = dir_.path() / "app";
};

}  // namespace

TEST_F(InstallTransactionTest, EveryKindOfChangeGoesInAndNothingIsLeftOver) {
  // The expected tree: the old one with the new one written over it, the
  // entries that change kind removed first and the updater left out.
  const fs::path scratch = dir_.path() / "expected";
  WriteTree(scratch, kOldVersion);
  fs::remove(scratch / "plugin");
  fs::remove_all(scratch / "docs");
  WriteTree(scratch, kNewVersion);
  fs::remove(scratch / "update.exe");
  const TreeSnapshot expected = SnapshotTree(scratch);

  const InstallOutcome outcome = InstallTree(UpdateDir(), app_.string(), Work());
  EXPECT_TRUE(outcome.installed);
  EXPECT_EQ(Installation(), expected);
  EXPECT_FALSE(fs::exists(app_ / kWorkDirName / kJournalName));
  EXPECT_FALSE(fs::exists(app_ / kWorkDirName / kBackupDirName));
  EXPECT_EQ(RecoverInstall(app_.string(), Work()).state, Recovery::kNothingLeft);
}

TEST_F(InstallTransactionTest, RecoveryUndoesAnInstallCutOffAtAnyStep) {
  const TreeSnapshot before = Installation();
  const fs::path backups = app_ / kWorkDirName / kBackupDirName;
  const std::string journalPath = (app_ / kWorkDirName / kJournalName).string();
  // The install moved app.exe and docs/ aside and placed new files over
  // them, brought lib/ new, and was killed while moving plugin aside.
  fs::create_directories(fs::path(Backup(0)).parent_path());
  fs::rename(app_ / "app.exe", Backup(0));
  fs::rename(app_ / "docs", Backup(1));
  WriteTree(app_, {{"app.exe", "half-written new"}, {"docs", "new docs file"}, {"lib/x.dll", "new"}});
  // The journal as this version and earlier ones write it: earlier ones
  // also noted each move aside once done.
  WriteFileBytes(journalPath, "new 0 lib\naside 0 app.exe\nasided 0 app.exe\naside 1 docs\naside 2 plugin\n");
  const RecoveryOutcome outcome = RecoverInstall(app_.string(), Work());
  EXPECT_EQ(outcome.state, Recovery::kRolledBack);
  EXPECT_EQ(outcome.restoredCount, 2);
  EXPECT_EQ(Installation(), before);
  EXPECT_FALSE(fs::exists(journalPath));
  EXPECT_FALSE(fs::exists(backups));
}

TEST_F(InstallTransactionTest, RecoveryKeepsACommittedInstall) {
  const fs::path backups = app_ / kWorkDirName / kBackupDirName;
  fs::create_directories(fs::path(Backup(0)).parent_path());
  fs::rename(app_ / "app.exe", Backup(0));
  WriteTree(app_, {{"app.exe", "new program"}});
  const TreeSnapshot after = Installation();
  {
    InstallJournal journal((app_ / kWorkDirName / kJournalName).string());
    ASSERT_TRUE(journal.Add({JournalRecord::kMoveAside, 0, "app.exe"}) &&
                journal.Add({JournalRecord::kCommit, 0, ""}) && journal.Flush());
  }
  EXPECT_EQ(RecoverInstall(app_.string(), Work()).state, Recovery::kFinished);
  EXPECT_EQ(Installation(), after);
  EXPECT_FALSE(fs::exists(backups));
  EXPECT_FALSE(fs::exists(app_ / kWorkDirName / kJournalName));
}

// Once there are many, the moves aside are spread over threads: one that
// fails stops the install, and whatever the others moved comes back, the
// folders moved whole included.
TEST_F(InstallTransactionTest, AFileThatCannotMoveAsideAmongManyLeavesTheOldVersionWhole) {
  std::map<std::string, std::string> oldFiles;
  std::map<std::string, std::string> newFiles;
  for (int i = 0; i < 200; ++i) {
    const std::string name = "many/" + std::to_string(i % 4) + "/f" + std::to_string(i);
    oldFiles[name] = "old " + name;
    newFiles[name] = "new " + name;
  }
  // A file of the installation's own keeps many/1 from moving whole.
  oldFiles["many/1/kept"] = "kept";
  WriteTree(app_, oldFiles);
  WriteTree(app_ / kWorkDirName / kUpdateDirName, newFiles);
  const TreeSnapshot before = Installation();
  InstallOutcome outcome;
  {
    // Windows keeps a held file from being read too: the trees are compared once it is free.
    const testing_support::PinnedFile pinned((app_ / "many/1/f101").string());
    if (!pinned.ok()) GTEST_SKIP() << "no file can be pinned here";
    outcome = InstallTree(UpdateDir(), app_.string(), Work());
  }
  EXPECT_FALSE(outcome.installed);
  EXPECT_TRUE(outcome.rolledBack);
  EXPECT_EQ(Installation(), before);
  EXPECT_FALSE(fs::exists(app_ / kWorkDirName / kJournalName));
  EXPECT_FALSE(fs::exists(app_ / kWorkDirName / kBackupDirName));
}
