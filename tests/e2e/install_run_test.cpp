// The all-or-nothing install driven end to end on both systems: what is
// known before the stop stops nothing, and runs at once take turns.
#include <cstdlib>
#include <fstream>
#include <functional>
#include <future>
#include <map>
#include <string>
#include <system_error>

#include <gtest/gtest.h>

#include "install/install.h"
#include "install/install_journal.h"
#include "install/install_layout.h"
#include "platform/symbolic_link.h"
#include "tests/e2e/install_fixture.h"
#include "tests/support/short_name.h"

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
  const std::string copyFailed =
      "Copy Files Source:" + Joined(Joined(install, "temp"), "update") + ", Target:" + install;
  ExpectLogInOrder(
      {{kInfo, kSuccessLine, "Update App Success!"}, {kError, kCopyLine, copyFailed}, {kError, kCopyLine, copyFailed}});
  EXPECT_EQ(LogText().find("Stop Process Ret", logBefore), std::string::npos);
  EXPECT_TRUE(IsAlive(pid));
  EXPECT_EQ(Installation(), before);
  EXPECT_NE(Installation(), newVersion);
}

// The install would delete what the folder holds with the backups: the
// user's own files, which no archive carries.
TEST_F(InstallRun, AFolderTurnedIntoAFileWhileItHoldsFilesStopsNothing) {
  WriteTree(installDir_, {{"docs/my-notes.txt", "the user's"}});
  const std::uint32_t pid = StartInstalledApp();
  struct Case {
    std::vector<EntryRecipe> archive;
    std::string folder;  // relative to the installation
    std::string holds;   // what the line names in it
  };
  std::vector<Case> cases = {
      {{File("update/readme.txt", "new"), File("update/docs", "docs as a file")}, "docs", "my-notes.txt"},
      {{File("update/data/sub", "sub as a file")}, Joined("data", "sub"), "deep.txt"},
  };
  if (platform::kMakesSymbolicLinks) {
    cases.push_back(
        {{File("update/readme.txt", "new"), zip_testing::Link("update/docs", "readme.txt")}, "docs", "my-notes.txt"});
  }
  // A file under the folder's 8.3 short name (Windows) would replace it too.
  WriteTree(installDir_, {{"User Data Folder/a.txt", "the user's a"}, {"User Data Folder/b.txt", "the user's b"}});
  const std::string alias = ShortNameOf(installDir_ / "User Data Folder");
  if (!alias.empty()) {
    std::vector<platform::DirectoryEntry> held;  // the first the updater lists
    platform::ListDirectory((installDir_ / "User Data Folder").u8string(), held);
    cases.push_back({{File("update/readme.txt", "new"), File("update/" + alias, "a file")},
                     "User Data Folder",
                     held.empty() ? "" : held.front().name});
  }
  const TreeSnapshot before = Installation();
  const std::string install = installDir_.string();
  for (const Case& c : cases) {
    WriteArchive(zip_.string(), c.archive);
    EXPECT_EQ(UpdateApp(zip_.string(), install).exitCode, 4) << c.folder;
    const std::string folder = Joined(install, c.folder);
    ExpectLogInOrder({{kError, kFolderBecomingFileLine,
                       "Folder Would Become A File:" + folder + ", Holds:" + Joined(folder, c.holds)},
                      {kError, kCopyLine,
                       "Copy Files Source:" + Joined(Joined(install, "temp"), "update") + ", Target:" + install}});
  }
  EXPECT_EQ(LogText().find("Stop Process Ret"), std::string::npos);
  EXPECT_TRUE(IsAlive(pid));
  EXPECT_EQ(Installation(), before);
}

// An updater is replaced by a newer one between runs: what the last shipped
// version leaves after a kill between placing and committing is rolled back
// by the next run, here one whose archive is missing.
TEST_F(InstallRun, AJournalLeftByTheLastShippedVersionIsRolledBack) {
  const TreeSnapshot oldVersion = Installation();
  const fs::path backups = installDir_ / "temp" / ".update-backup" / "0";
  fs::create_directories(backups);
  fs::rename(installDir_ / "readme.txt", backups / "0");
  fs::rename(installDir_ / "docs", backups / "1");
  WriteTree(installDir_, {{"readme.txt", "new readme"}, {"docs", "docs became a file"}, {"lib/x.dll", "new"}});
  WriteFileBytes(installDir_ / "temp" / ".update-journal",
                 "new 0 lib\naside 0 readme.txt\naside 1 docs\nasided 0 readme.txt\nasided 1 docs\nplace 0 \n");
  const RunResult result = UpdateWithoutApp((root_.path() / "missing.zip").string());
  EXPECT_EQ(result.exitCode, 0);
  ExpectLogInOrder({{kWarning, kRecoveredLine, "Unfinished Update Rolled Back, Restored:2"}});
  EXPECT_EQ(Installation(), oldVersion);
  EXPECT_FALSE(JournalLeft());
}

// Killed after its commit: the new version stands whole, and the next run,
// archive missing, discards the backups and says it completed that install.
TEST_F(InstallRun, AJournalOfACommittedInstallIsCompleted) {
  const fs::path work = installDir_ / kWorkDirName;
  fs::create_directories(work / kBackupDirName / "0");
  fs::rename(installDir_ / "readme.txt", work / kBackupDirName / "0" / "0");
  WriteTree(installDir_, {{"readme.txt", "new readme"}});
  const TreeSnapshot newVersion = Installation();
  {
    InstallJournal journal((work / kJournalName).string());
    journal.Add({JournalRecord::kMoveAside, 0, "readme.txt"});
    journal.Add({JournalRecord::kCommit, 0, {}});
    ASSERT_TRUE(journal.Flush());
  }
  const std::string missing = (root_.path() / "missing.zip").string();
  EXPECT_EQ(UpdateWithoutApp(missing).exitCode, 0);
  EXPECT_EQ(Installation(), newVersion);
  EXPECT_FALSE(JournalLeft());
  EXPECT_FALSE(fs::exists(work / kBackupDirName));
  ExpectLogInOrder({{kWarning, kCompletedLine, "Unfinished Update Completed"},
                    {kWarning, kNoArchiveLine, "Update File Is Not Exist:" + missing}});
}

namespace {

// What a run killed after two moves aside and some placing leaves, but its
// journal: kCutOffJournal.
constexpr const char kCutOffJournal[] = "new 0 lib\naside 0 readme.txt\naside 1 docs\n";
void CutOffAfterTwoMovesAside(const fs::path& installDir) {
  const fs::path backups = installDir / kWorkDirName / kBackupDirName / "0";
  fs::create_directories(backups);
  fs::rename(installDir / "readme.txt", backups / "0");
  fs::rename(installDir / "docs", backups / "1");
  WriteTree(installDir, {{"readme.txt", "new readme"}, {"docs", "docs became a file"}, {"lib/x.dll", "new"}});
}

}  // namespace

// A run cut off after two moves aside, its journal then found as a kill or
// a power cut leaves it (acted on), or unreadable, damaged or of an unknown
// kind (nothing acted on, nothing lost: the next run that can read it
// brings the old version back).
TEST_F(InstallRun, AJournalThatCannotBeTrustedIsNeverActedOn) {
  const TreeSnapshot oldVersion = Installation();
  const fs::path work = installDir_ / kWorkDirName;
  const fs::path journal = work / kJournalName;
  const std::string whole = kCutOffJournal;
  // ERROR_ACCESS_DENIED for a folder opened as a file under Wine; EISDIR on Linux.
  const int folderError = platform::kPathSeparator[0] == '\\' ? 5 : 21;
  struct Case {
    std::string journal;  // empty: a folder stands at its name
    std::string reason;   // empty: trusted
    int error;
  };
  const std::vector<Case> cases = {
      {whole + "aside 2 data", "", 0},
      {whole + std::string("asi\0\0\0\0\0\0", 9), "", 0},
      {"", "cannot be read", folderError},
      {"new 0 lib\naside 0 readme.txt\naside 1 do%zs\n", "damaged line 3", 0},
      {"new 0 lib\naside 0 readme.txt\nrename 1 docs\n", "unknown record on line 3", 0},
  };
  for (const Case& c : cases) {
    WriteOldVersion();
    CutOffAfterTwoMovesAside(installDir_);
    if (c.journal.empty()) {
      fs::create_directories(journal);
    } else {
      WriteFileBytes(journal, c.journal);
    }
    const TreeSnapshot cutOff = SnapshotTree(installDir_);
    const std::string missing = (root_.path() / "missing.zip").string();
    if (c.reason.empty()) {
      EXPECT_EQ(UpdateWithoutApp(missing).exitCode, 0);
      EXPECT_EQ(Installation(), oldVersion) << c.journal;
      continue;
    }
    const std::size_t logBefore = LogText().size();
    EXPECT_EQ(UpdateWithoutApp(zip_.string()).exitCode, 4) << c.reason;
    EXPECT_EQ(LogText().find("Clear History", logBefore), std::string::npos);
    ExpectLogInOrder(
        {{kError, kJournalUntrustedLine,
          "Journal Not Trusted:" + journal.string() + ", Reason:" + c.reason + ", error:" + std::to_string(c.error)},
         {kError, kRecoveryFailedLine,
          "Unfinished Update Not Rolled Back, Restored:0, Journal Kept In:" + work.string() +
              ", Blocked By:" + journal.string()}});
    EXPECT_EQ(SnapshotTree(installDir_), cutOff) << c.reason;
    fs::remove_all(journal);
    WriteFileBytes(journal, whole);
    EXPECT_EQ(UpdateWithoutApp(missing).exitCode, 0);
    EXPECT_EQ(Installation(), oldVersion) << c.reason;
  }
}

// A lock file's name taken by a folder or a link: no run goes on without the
// lock, so none skips the recovery or clears the cut-off run's backups; with
// the cause removed, the next run brings the old version back.
TEST_F(InstallRun, ALockThatCannotBeTakenEndsTheRunBeforeTheClear) {
  const TreeSnapshot oldVersion = Installation();
  const fs::path lock = installDir_ / kLockName;
  const fs::path victim = root_.path() / "victim.txt";
  const std::string refused = "Installation Lock Refused:" + lock.string() + ", error:";
  // ERROR_ACCESS_DENIED under Wine; EISDIR on Linux.
  std::vector<std::pair<LogEntry, std::function<void()>>> cases = {
      {{kError, kLockRefusedLine, refused + (platform::kPathSeparator[0] == '\\' ? "5" : "21")}, [&] {
         fs::create_directories(lock / "inside");
       }}};
  if (platform::kMakesSymbolicLinks) {
    cases.push_back({{kError, kOwnNameLinkLine, "Link Where Own File Should Be:" + lock.string()}, [&] {
                       fs::create_symlink(victim, lock);
                     }});
  }
  for (const auto& [line, plant] : cases) {
    WriteOldVersion();
    WriteFileBytes(victim, "the user's");
    CutOffAfterTwoMovesAside(installDir_);
    WriteFileBytes(installDir_ / kWorkDirName / kJournalName, kCutOffJournal);
    plant();
    const TreeSnapshot cutOff = SnapshotTree(installDir_);
    for (const std::string& zip : {zip_.string(), (root_.path() / "missing.zip").string()}) {
      EXPECT_EQ(UpdateWithoutApp(zip).exitCode, 4) << line.message;
      ExpectLogInOrder({line});
      EXPECT_EQ(SnapshotTree(installDir_), cutOff) << line.message;
      EXPECT_EQ(ReadFileBytes(victim), "the user's");
    }
    fs::remove_all(lock);
    EXPECT_EQ(UpdateWithoutApp((root_.path() / "missing.zip").string()).exitCode, 0);
    EXPECT_EQ(Installation(), oldVersion) << line.message;
  }
  EXPECT_EQ(LogText().find("Clear History"), std::string::npos);
}

// A link the cut-off install followed, re-pointed since, and a folder that
// became a link: recovery writes nothing through either and keeps the
// journal and the backups; with the cause undone, the next run restores.
TEST_F(InstallRun, RecoveryFollowsOnlyTheLinksTheJournalRecorded) {
  if (!platform::kMakesSymbolicLinks) GTEST_SKIP() << "the updater follows links it meets on Linux only";
  const fs::path shared = root_.path() / "shared";
  const fs::path victim = root_.path() / "victim";
  const fs::path away = root_.path() / "away";
  struct Case {
    std::string folder;    // the installation's folder that changes
    std::string recorded;  // the link text the journal holds; empty: it was a folder
  };
  for (const Case& c : {Case{"addons", shared.string()}, Case{"data", ""}}) {
    WriteOldVersion();
    fs::remove_all(shared);
    WriteTree(shared, {{"new.txt", "placed by the cut-off run"}});
    fs::create_symlink(shared, installDir_ / "addons");
    const TreeSnapshot oldVersion = [&] {
      TreeSnapshot tree = Installation();
      tree.erase("addons/new.txt");
      return tree;
    }();
    fs::create_directories(installDir_ / kWorkDirName);
    {
      InstallJournal journal((installDir_ / kWorkDirName / kJournalName).string());
      journal.Add({JournalRecord::kListing, 0, {}});
      journal.Add({JournalRecord::kLinked, 0, "addons", 0, shared.string()});
      journal.Add({JournalRecord::kNew, 0, Joined("addons", "new.txt")});
      journal.Add({JournalRecord::kNew, 0, Joined("data", "new.txt")});
      ASSERT_TRUE(journal.Flush());
    }
    fs::remove_all(victim);
    WriteTree(victim, {{"new.txt", "the victim's"}});
    const fs::path folder = installDir_ / c.folder;
    fs::rename(folder, away);
    fs::create_symlink(victim, folder);
    const TreeSnapshot victimBefore = SnapshotTree(victim);
    EXPECT_EQ(UpdateWithoutApp(zip_.string()).exitCode, 4) << c.folder;
    ExpectLogInOrder({{kError, kFolderChangedLine,
                       "Folder Changed Since The Install:" + folder.string() + ", Recorded Link:" + c.recorded},
                      {kError, kRecoveryFailedLine,
                       "Unfinished Update Not Rolled Back, Restored:0, Journal Kept In:" +
                           (installDir_ / kWorkDirName).string() + ", Blocked By:" + folder.string()}});
    EXPECT_EQ(SnapshotTree(victim), victimBefore) << c.folder;
    EXPECT_TRUE(JournalLeft());
    fs::remove(folder);
    fs::rename(away, folder);
    EXPECT_EQ(UpdateWithoutApp((root_.path() / "missing.zip").string()).exitCode, 0) << c.folder;
    EXPECT_EQ(Installation(), oldVersion) << c.folder;
  }
}

// Killed before the commit, files then saved in a new folder and one moved in
// whole: the next run, archive missing, takes back only what was placed. A
// name that looks like a staged copy's is not one unless the journal's run
// made it: the user's in a placed folder and the old version's stay.
TEST_F(InstallRun, ARollbackKeepsWhatWasSavedInAPlacedFolder) {
  const std::map<std::string, std::string> saved = {
      {"lib/y/alice.ini", "mine"}, {"data/sub/alice.ini", "mine"}, {"data/sub/.update-copy-notes.txt", "mine"}};
  WriteTree(installDir_, saved);
  const std::map<std::string, std::string> oldVersionsOwn = {{"data/.update-copy-cache.idx", "version 1's"}};
  WriteTree(installDir_, oldVersionsOwn);
  const TreeSnapshot expected = Installation();
  WriteOldVersion();
  WriteTree(installDir_, oldVersionsOwn);
  // The tree and journal such a kill leaves: the old data/sub in backup 0.
  const fs::path work = installDir_ / kWorkDirName;
  fs::create_directories(work / kBackupDirName / "0");
  fs::rename(installDir_ / "data" / "sub", work / kBackupDirName / "0" / "0");
  WriteTree(installDir_, {{"lib/x.dll", "new"}, {"lib/y/z.dll", "new"}, {"data/sub/deep.txt", "new"}});
  {
    InstallJournal journal((work / kJournalName).string());
    journal.Add({JournalRecord::kListing, 0, {}});
    journal.Add({JournalRecord::kNew, 0, "lib"});
    journal.Add({JournalRecord::kMoveAside, 0, Joined("data", "sub")});
    for (const fs::path& folder : {installDir_ / "lib", installDir_ / "data" / "sub"}) {
      for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        journal.Add({JournalRecord::kPlaced, 0, entry.path().lexically_relative(installDir_).string()});
      }
    }
    ASSERT_TRUE(journal.Flush());
  }
  WriteTree(installDir_, saved);
  EXPECT_EQ(UpdateWithoutApp((root_.path() / "missing.zip").string()).exitCode, 0);
  EXPECT_EQ(Installation(), expected);
  EXPECT_FALSE(JournalLeft());
  const auto kept = [this](const char* path) {
    return LogEntry{kWarning, kKeptLine,
                    "Not Placed By The Update, Kept:" + (installDir_ / path).make_preferred().string()};
  };
  ExpectLogInOrder({kept("lib/y/alice.ini"),
                    kept("data/sub/alice.ini"),
                    {kWarning, kRecoveredLine, "Unfinished Update Rolled Back, Restored:1"}});
  ExpectLogInOrder({kept("data/sub/.update-copy-notes.txt")});
}

namespace {

// An installation the run may not write, mounted on the host by the test
// run's set-up when the tests run as root (tests/e2e/readonly_install.sh;
// its path comes in UPDATE_READONLY_INSTALL): "view" shows "source"
// read-only, with a writable folder bound over "view/temp".
// As root, and under Wine, folder permissions refuse nothing; a read-only
// mount refuses even root.
class ReadOnlyInstall : public InstallRun {
 protected:
  void SetUp() override {
    InstallRun::SetUp();
    const fs::path root = MountedFolder("UPDATE_READONLY_INSTALL");
    if (root.empty() || !Writable(root / "view" / "temp") || Writable(root / "view")) {
      GTEST_SKIP() << "needs an installation on a read-only mount: the tests run as root mount one";
    }
    source_ = root / "source";
    ClearSource();
    WriteOldVersionInto(source_);
    installDir_ = root / "view";
  }

  void TearDown() override {
    InstallRun::TearDown();
    installedApp_.reset();
    if (!source_.empty()) ClearSource();
  }

  // Everything but the mount point of the work directory.
  void ClearSource() const {
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(source_, ignored)) {
      if (entry.path().filename() != "temp") fs::remove_all(entry.path(), ignored);
    }
  }

  static bool Writable(const fs::path& dir) {
    const fs::path probe = dir / UniqueProgramName("probe");
    const bool written = static_cast<bool>(std::ofstream(probe));
    std::error_code ignored;
    fs::remove(probe, ignored);
    return written;
  }

  fs::path source_;
};

}  // namespace

TEST_F(ReadOnlyInstall, AnInstallationTheRunCannotWriteStopsNothing) {
  // Started through the writable side: the process walk knows it by name.
  installedApp_ = StartFakeAppAs(source_, appName_);
  ASSERT_NE(installedApp_, nullptr);
  const TreeSnapshot before = Installation();
  EXPECT_EQ(UpdateApp(zip_.string(), installDir_.string()).exitCode, 4);
  const std::string install = installDir_.string();
  // EROFS on Linux; ERROR_ACCESS_DENIED under Wine.
  const int readOnlyError = platform::kPathSeparator[0] == '\\' ? 5 : 30;
  // Not even the lock file can be made: the run ends before the clear.
  ExpectLogInOrder(
      {{kError, kLockRefusedLine,
        "Installation Lock Refused:" + Joined(install, kLockName) + ", error:" + std::to_string(readOnlyError)}});
  EXPECT_EQ(LogText().find("Clear History"), std::string::npos);
  EXPECT_EQ(LogText().find("Stop Process Ret"), std::string::npos);
  EXPECT_TRUE(IsAlive(installedApp_->id()));
  EXPECT_EQ(AppRecords().size(), 1u);
  EXPECT_EQ(Installation(), before);
}

// The update goes in through the link, which stays a link; killed before the
// commit, the next run without its archive gives both volumes their old version.
TEST_F(OtherVolumeInstall, AFolderLinkedToAnotherVolumeInstalls) {
  const TreeSnapshot oldHere = Installation();
  const TreeSnapshot oldThere = SnapshotTree(linked_);
  EXPECT_EQ(UpdateWithoutApp(zip_.string()).exitCode, 0);
  EXPECT_EQ(ReadFileBytes(linked_ / "a.txt"), "new a");
  EXPECT_EQ(ReadFileBytes(linked_ / "new" / "b.txt"), "new b");
  EXPECT_EQ(ReadFileBytes(linked_ / kLongName), "long name");
  EXPECT_EQ(ReadFileBytes(linked_ / "mine.txt"), "the user's");
  EXPECT_FALSE(JournalLeft());
  EXPECT_TRUE(!platform::kMakesSymbolicLinks || fs::is_symlink(installDir_ / "addons"));

  WriteOldVersions();
  const fs::path work = installDir_ / kWorkDirName;
  InstallLayout layout(installDir_.string(), work.string());
  const std::string area = layout.AreaIn("addons");
  layout.SetArea(1, area);
  fs::create_directories(work);
  fs::create_directories(layout.BackupFolderOf(0, 1));
  fs::rename(linked_ / "a.txt", layout.Backup(0, 1));
  WriteTree(installDir_, {{"addons/a.txt", "new a"}, {"addons/new/b.txt", "new b"}});
  {
    InstallJournal journal(layout.journal());
    journal.Add({JournalRecord::kListing, 0, {}});
    journal.Add({JournalRecord::kLinked, 0, "addons", 0, platform::LinkText((installDir_ / "addons").string()).value});
    journal.Add({JournalRecord::kNew, 0, Joined("addons", "new")});
    journal.Add({JournalRecord::kPlaced, 0, Joined(Joined("addons", "new"), "b.txt")});
    journal.Add({JournalRecord::kArea, 1, area});
    journal.Add({JournalRecord::kMoveAside, 0, Joined("addons", "a.txt")});
    ASSERT_TRUE(journal.Flush());
  }
  EXPECT_EQ(UpdateWithoutApp((root_.path() / "missing.zip").string()).exitCode, 0);
  EXPECT_EQ(Installation(), oldHere);
  EXPECT_EQ(SnapshotTree(linked_), oldThere);
  EXPECT_FALSE(JournalLeft());
}

// "skins" links to a read-only volume (other_volume.sh): known before the
// stop, as an installation the run cannot write is.
TEST_F(OtherVolumeInstall, AFolderLinkedToAReadOnlyVolumeStopsNothing) {
  if (!platform::kMakesSymbolicLinks) GTEST_SKIP() << "Wine shows a folder linked on the host as a folder";
  WriteArchive(zip_.string(), {File("update/readme.txt", "new"), File("update/skins/skin.txt", "new skin")});
  const TreeSnapshot before = Installation();
  const std::size_t logBefore = LogText().size();
  EXPECT_EQ(UpdateWithoutApp(zip_.string()).exitCode, 4);
  const std::string skins = Joined(installDir_.string(), "skins");
  ExpectLogInOrder({{kError, kNotWritableLine, "Installation Not Writable:" + skins + " error:30"}});  // EROFS
  EXPECT_EQ(LogText().find("Stop Process Ret", logBefore), std::string::npos);
  EXPECT_EQ(Installation(), before);
  EXPECT_EQ(ReadFileBytes(installDir_ / "skins" / "skin.txt"), "old skin\n");
}

TEST_F(InstallRun, RunsStartedTogetherTakeTurnsAndBothInstall) {
  const TreeSnapshot newVersion = NewVersion();
  // Under Wine every run costs about a second; the Linux lane tries often.
  const int tries = platform::kPathSeparator[0] == '\\' ? 3 : 20;
  for (int attempt = 0; attempt < tries; ++attempt) {
    WriteOldVersion();
    fs::create_directories(root_.path() / "first");
    fs::create_directories(root_.path() / "second");
    auto first =
        std::async(std::launch::async, [&] { return UpdateWithoutApp(zip_.string(), root_.path() / "first"); });
    auto second =
        std::async(std::launch::async, [&] { return UpdateWithoutApp(zip_.string(), root_.path() / "second"); });
    EXPECT_EQ(first.get().exitCode, 0) << attempt;
    EXPECT_EQ(second.get().exitCode, 0) << attempt;
    ASSERT_EQ(Installation(), newVersion) << attempt;
    EXPECT_FALSE(JournalLeft());
  }
}

// A tree deeper than the usual limit of open files (1,024 on Linux) installs;
// one deeper than the system lets the run hold folders open for is refused
// before the stop. On Linux the limits are set for the run by the shell.
TEST_F(InstallRun, DeepTreesInstallOrAreRefusedBeforeTheStop) {
  struct Case {
    const char* what;
    std::string limits;  // shell commands run before the updater; empty: none
    bool installs;
  };
  std::vector<Case> cases = {{"the system's own limits", "", true}};
  if (platform::kMakesSymbolicLinks) {
    cases.push_back({"a soft limit of 1,024 open files", "ulimit -Sn 1024", true});
    cases.push_back({"a hard limit of 256 open files", "ulimit -n 256", false});
  }
  constexpr int kLevels = 520;
  std::string deep = "update";
  for (int level = 0; level < kLevels; ++level) deep += "/d";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // Installed once already, with a file the next update leaves: it merges
    // into every level.
    WriteOldVersion();
    WriteArchive(zip_.string(), {File(deep + "/leaf.txt", "old"), File(deep + "/other.txt", "stays")});
    ASSERT_EQ(UpdateWithoutApp(zip_.string()).exitCode, 0);
    const TreeSnapshot before = Installation();
    const std::size_t logBefore = LogText().size();
    WriteArchive(zip_.string(), {File("update/readme.txt", "new readme"), File(deep + "/leaf.txt", "deepest")});
    const std::vector<std::string> args = {"--exeName",   "absent.exe", "--zipFile",
                                           zip_.string(), "--dstPath",  installDir_.string()};
    std::vector<std::string> shell = {"-c", c.limits + " && exec \"$0\" \"$@\"",
                                      (updaterDir_ / ("update" + suffix_)).string()};
    shell.insert(shell.end(), args.begin(), args.end());
    const RunResult result = c.limits.empty() ? Update(args) : RunToEnd("/bin/sh", shell, root_.path());
    if (c.installs) {
      EXPECT_EQ(result.exitCode, 0) << result.err;
      EXPECT_EQ(ReadFileBytes(installDir_ / deep.substr(7) / "leaf.txt"), "deepest");
      continue;
    }
    EXPECT_EQ(result.exitCode, 4);
    ExpectLogInOrder(
        {{kError, kTooDeepLine,
          "Tree Too Deep:" + deep + "/leaf.txt, Levels:" + std::to_string(kLevels) + ", Open Files Allowed:256"}});
    EXPECT_EQ(LogText().find("Stop Process Ret", logBefore), std::string::npos);
    EXPECT_EQ(Installation(), before);
  }
}
