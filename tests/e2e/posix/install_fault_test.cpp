// Linux: the install failed or killed at every call that changes the file
// system, through a preloaded library (tests/helpers/fault_injection.c).
// Each case ends with the installation compared, bytes and mode bits, with
// a whole version.
#include <cerrno>
#include <cstdlib>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "install/install.h"
#include "tests/e2e/install_fixture.h"
#include "tests/e2e/posix/fault_plan.h"
#include "tests/e2e/small_disk_fixture.h"

using namespace update_e2e;

namespace {

class InstallFault : public InstallRun {
 protected:
  // Both versions and the number of points a whole run has.
  void SetUp() override {
    InstallRun::SetUp();
    oldVersion_ = Installation();
    newVersion_ = NewVersion();
    calls_ = CountCalls();
    // As many as when the install named every entry by its path: a call that
    // moved to a form the library does not count would lower it.
    ASSERT_GE(calls_, 108);
  }

  // The number of counted calls in a whole run that installs, with `settings`.
  long CountCalls(Settings settings = {}) {
    const fs::path countFile = root_.path() / "count";
    {
      settings.push_back({"UPDATE_FAULT_COUNT", countFile.string()});
      const FaultPlan plan(settings);
      EXPECT_EQ(UpdateWithoutApp(zip_.string()).exitCode, 0);
    }
    WriteOldVersion();
    return std::atol(ReadFileBytes(countFile).c_str());
  }

  // A run with the fault at call `at`, and `settings`.
  RunResult RunWithFault(long at, bool kill, Settings settings = {}) {
    settings.push_back({"UPDATE_FAULT_AT", std::to_string(at)});
    settings.push_back({"UPDATE_FAULT_KILL", kill ? "1" : "0"});
    const FaultPlan plan(settings);
    return UpdateWithoutApp(zip_.string());
  }

  // Fails each of the `calls` calls of a run with `settings` in turn; every
  // run leaves one whole version. Gives the number of failed installs.
  int ExpectOneWholeVersionWhateverFails(long calls, const Settings& settings = {}) {
    int failedInstalls = 0;
    for (long at = 1; at <= calls; ++at) {
      WriteOldVersion();
      const RunResult result = RunWithFault(at, false, settings);
      // The probe of the installation's rights, and the lock file, stay when
      // their own removal is the call that fails; the next run removes them.
      TreeSnapshot after = Installation();
      after.erase(kProbeName);
      after.erase(kLockName);
      if (result.exitCode == 0) {
        EXPECT_EQ(after, newVersion_) << "call " << at;
      } else {
        EXPECT_TRUE(result.exitCode == 3 || result.exitCode == 4) << "call " << at << ": " << result.exitCode;
        EXPECT_EQ(after, oldVersion_) << "call " << at;
        failedInstalls += result.exitCode == 4;
      }
      // What a failed clean-up left (a backup, the journal of a committed
      // install, the probe) goes with the next run and changes nothing else.
      EXPECT_EQ(UpdateWithoutApp(missing_).exitCode, 0) << "call " << at;
      EXPECT_EQ(Installation(), after) << "call " << at;
      EXPECT_FALSE(JournalLeft()) << "call " << at;
    }
    return failedInstalls;
  }

  // `tree` without the user's `saved` files (checked whole) and their folders holding nothing else.
  static TreeSnapshot WithoutSaved(TreeSnapshot tree, const std::vector<std::string>& saved) {
    for (const std::string& file : saved) {
      EXPECT_EQ(tree.count(file) == 1 ? tree[file].substr(tree[file].size() - 10) : "", "the user's") << file;
      tree.erase(file);
      const std::string folder = file.substr(0, file.rfind('/'));
      const auto next = tree.upper_bound(folder);
      if (next == tree.end() || next->first.rfind(folder + "/", 0) != 0) tree.erase(folder);
    }
    return tree;
  }

  TreeSnapshot oldVersion_;
  TreeSnapshot newVersion_;
  long calls_ = 0;
  std::string missing_ = (root_.path() / "missing.zip").string();
};

}  // namespace

TEST_F(InstallFault, AFailureAtAnyCallLeavesOneWholeVersion) {
  // Most calls of the install matter: their failure undoes it.
  EXPECT_GT(ExpectOneWholeVersionWhateverFails(calls_), 20);
}

// data/sub is swapped whole; where the system will not rename it (Windows,
// while a file in it is open) its entries are moved aside one by one, so
// that a later failure still gives every old file back.
TEST_F(InstallFault, AFolderThatWillNotMoveWholeIsMovedEntryByEntry) {
  const Settings refusal = {{"UPDATE_FAULT_RENAME_FROM", (installDir_ / "data" / "sub").string()}};
  const long calls = CountCalls(refusal);
  EXPECT_GT(calls, calls_);
  EXPECT_GT(ExpectOneWholeVersionWhateverFails(calls, refusal), 20);
}

// After each kill the user saves a file in lib/ (once placed) and data/many/
// (moved in whole): it stays, with its folder, whatever the next runs do.
TEST_F(InstallFault, KilledAtAnyCallTheNextRunLeavesOneWholeVersion) {
  for (long at = 1; at <= calls_; ++at) {
    WriteOldVersion();
    EXPECT_NE(RunWithFault(at, true).exitCode, 0) << "call " << at;
    std::vector<std::string> saved;
    for (const std::string folder : {"lib", "data/many"}) {
      if (fs::is_directory(installDir_ / folder)) saved.push_back(folder + "/alice.ini");
    }
    for (const std::string& file : saved) WriteFileBytes(installDir_ / file, "the user's");
    // Odd points: a run without its archive repairs; even points: one with it.
    if (at % 2 == 1) {
      EXPECT_EQ(UpdateWithoutApp(missing_).exitCode, 0) << "call " << at;
      const TreeSnapshot after = WithoutSaved(Installation(), saved);
      EXPECT_TRUE(after == oldVersion_ || after == newVersion_) << "call " << at;
      EXPECT_FALSE(JournalLeft()) << "call " << at;
    }
    EXPECT_EQ(UpdateWithoutApp(zip_.string()).exitCode, 0) << "call " << at;
    EXPECT_EQ(WithoutSaved(Installation(), saved), newVersion_) << "call " << at;
    EXPECT_FALSE(JournalLeft()) << "call " << at;
  }
}

// A volume whose renames cannot refuse to replace (NFS: EINVAL) or a kernel
// without such renames (ENOSYS) installs all the same.
TEST_F(InstallRun, AVolumeWithoutRenamesThatNeverReplaceInstalls) {
  const TreeSnapshot newVersion = NewVersion();
  for (const char* code : {"22", "38"}) {
    WriteOldVersion();
    const FaultPlan plan(Settings{{"UPDATE_FAULT_NOREPLACE_ERRNO", code}});
    EXPECT_EQ(UpdateWithoutApp(zip_.string()).exitCode, 0) << code;
    EXPECT_EQ(Installation(), newVersion) << code;
  }
}

// A linked work directory that the clear cannot remove leads out of the
// installation: whichever early call fails, nothing is extracted through it.
TEST_F(InstallRun, NothingIsExtractedThroughALinkedWorkDirectory) {
  const fs::path outside = root_.path() / "outside";
  bool linkKept = false;
  for (long at = 1; at <= 5; ++at) {
    WriteOldVersion();
    fs::create_directories(outside);
    fs::create_directory_symlink(outside, installDir_ / "temp");
    RunResult result;
    {
      const FaultPlan plan({{"UPDATE_FAULT_AT", std::to_string(at)}});
      result = UpdateWithoutApp(zip_.string());
    }
    if (fs::is_symlink(installDir_ / "temp")) {
      linkKept = true;
      EXPECT_EQ(result.exitCode, 3) << "call " << at;
    }
    EXPECT_TRUE(fs::is_empty(outside)) << "call " << at;
  }
  EXPECT_TRUE(linkKept);
}

// The disk fills at the updater's first signal, the stop of the application.
TEST_F(SmallDiskInstall, AFullDiskLeavesTheOldVersionWhole) {
  StartInstalledApp();
  const TreeSnapshot before = Installation();
  RunResult result;
  {
    const FaultPlan plan({{"UPDATE_FAULT_FILL", filler_.string()}});
    result = UpdateApp(zip_.string(), installDir_.string());
  }
  ExpectTheOldVersionWholeThenTheNew(result, before, ENOSPC);
}

// A file system that refuses the lock: without locks at all (ENOLCK) the run
// holds the installation through a file it makes exclusively, taking over
// one left by an earlier boot of this machine, and installs; any other
// refusal ends the run before the clear, the cut-off run's backups kept.
TEST_F(InstallRun, ALockTheFileSystemRefusesIsNeverGoneWithout) {
  const TreeSnapshot oldVersion = Installation();
  const TreeSnapshot newVersion = NewVersion();
  const fs::path held = installDir_ / (std::string(kLockName) + ".held");
  char host[256] = {};
  gethostname(host, sizeof host - 1);
  for (const bool staleHold : {false, true}) {
    WriteOldVersion();
    if (staleHold) WriteFileBytes(held, std::string(host) + " an-earlier-boot 1\n");
    const FaultPlan plan({{"UPDATE_FAULT_FLOCK_ERRNO", std::to_string(ENOLCK)}});
    EXPECT_EQ(UpdateWithoutApp(zip_.string()).exitCode, 0);
    EXPECT_EQ(Installation(), newVersion);
    EXPECT_FALSE(fs::exists(held));
  }
  WriteOldVersion();
  WriteFileBytes(installDir_ / "temp" / ".update-journal", "aside 0 readme.txt\n");
  fs::create_directories(installDir_ / "temp" / ".update-backup" / "0");
  fs::rename(installDir_ / "readme.txt", installDir_ / "temp" / ".update-backup" / "0" / "0");
  const TreeSnapshot cutOff = SnapshotTree(installDir_);
  {
    const FaultPlan plan({{"UPDATE_FAULT_FLOCK_ERRNO", std::to_string(EBADF)}});
    EXPECT_EQ(UpdateWithoutApp(zip_.string()).exitCode, 4);
  }
  fs::remove(installDir_ / kLockName);  // the lock file that was opened, not locked
  ExpectLogInOrder(
      {{kError, kLockRefusedLine,
        "Installation Lock Refused:" + (installDir_ / kLockName).string() + ", error:" + std::to_string(EBADF)}});
  EXPECT_EQ(SnapshotTree(installDir_), cutOff);
  EXPECT_EQ(UpdateWithoutApp((root_.path() / "missing.zip").string()).exitCode, 0);
  EXPECT_EQ(Installation(), oldVersion);
}

// A failed install says why right before it reports what it restored: the
// step, the path and the system's code.
TEST_F(InstallRun, AFailedInstallLogsTheStepThePathAndTheCode) {
  const std::string temp = Joined(installDir_.string(), "temp");
  const std::string why = "Install Failed At:";
  const std::vector<std::pair<Settings, std::string>> cases = {
      {{{"UPDATE_FAULT_LIST_ENDS", "/update/data"}},
       why + "plan, Path:" + Joined(Joined(temp, "update"), "data") + ", error:5"},
      {{{"UPDATE_FAULT_PATH_ENDS", "/.update-backup"}},
       why + "backup folder, Path:" + Joined(temp, ".update-backup") + ", error:5"},
      {{{"UPDATE_FAULT_PATH_ENDS", "/.update-journal"}},
       why + "journal, Path:" + Joined(temp, ".update-journal") + ", error:5"},
      {{{"UPDATE_FAULT_FLUSH_ENDS", "/.update-journal"}},
       why + "journal, Path:" + Joined(temp, ".update-journal") + ", error:5"},
      {{{"UPDATE_FAULT_FLUSH_ENDS", "/temp"}}, why + "flush, Path:" + temp + ", error:5"}};
  for (const auto& [settings, reason] : cases) {
    RunResult result;
    {
      const FaultPlan plan(settings);
      result = UpdateWithoutApp(zip_.string());
    }
    EXPECT_EQ(result.exitCode, 4) << reason;
    ExpectLogInOrder(
        {{kError, kInstallStepLine, reason}, {kWarning, kRestoredLine, "Old Version Restored:1, Files Moved Back:0"}});
  }
}

// A folder of the extraction the system refuses: its own code is logged, not
// the "no such file" of the file that could then not be opened.
TEST_F(InstallRun, AFolderTheExtractionMayNotMakeLogsTheSystemsCode) {
  const std::string data = Joined(Joined(Joined(installDir_.string(), "temp"), "update"), "data");
  for (const int code : {EACCES, EROFS}) {
    const std::size_t logBefore = LogText().size();
    {
      const FaultPlan plan(
          {{"UPDATE_FAULT_PATH_ENDS", "/temp/update/data"}, {"UPDATE_FAULT_ERRNO", std::to_string(code)}});
      EXPECT_EQ(UpdateWithoutApp(zip_.string()).exitCode, 3);
    }
    const std::string log = LogText().substr(logBefore);
    const std::string refused = " " + std::to_string(kEntryNotWrittenLine) + " Entry Not Written:" + data;
    const std::size_t at = log.find(refused);
    ASSERT_NE(at, std::string::npos) << log;
    EXPECT_EQ(log.substr(at, log.find('\n', at) - at).substr(log.find(", error:", at) - at),
              ", error:" + std::to_string(code))
        << log;
  }
}

// The backup area on another volume refused: its code, not the "no such
// folder" of the area's own folder made next.
TEST_F(OtherVolumeInstall, AnAreaTheSystemRefusesLogsItsCode) {
  for (const int code : {EACCES, EROFS}) {
    WriteOldVersions();
    const TreeSnapshot before = Installation();
    RunResult result;
    {
      const FaultPlan plan(
          {{"UPDATE_FAULT_PATH_ENDS", "/addons/.update-backup"}, {"UPDATE_FAULT_ERRNO", std::to_string(code)}});
      result = UpdateWithoutApp(zip_.string());
    }
    EXPECT_EQ(result.exitCode, 4);
    const std::string log = LogText();
    const std::string step = "Install Failed At:backup folder, Path:" + Joined(installDir_.string(), "addons");
    const std::size_t at = log.rfind(step);
    ASSERT_NE(at, std::string::npos) << log;
    const std::string line = log.substr(at, log.find('\n', at) - at);
    EXPECT_EQ(line.substr(line.rfind(", error:")), ", error:" + std::to_string(code)) << line;
    EXPECT_EQ(Installation(), before);
  }
}

// A process that can write the installation swaps a merged folder for a
// link to a folder of its own, or for that folder itself, as the journal is
// made: nothing is written into it, the install is undone and the log names
// the folder.
TEST_F(InstallRun, AFolderSwappedAfterThePlanIsNeverWrittenInto) {
  const fs::path outside = root_.path() / "outside";
  for (const bool moved : {false, true}) {
    for (const std::string folder : {"data", "data/many", "data", "data/many"}) {
      WriteOldVersion();
      fs::remove_all(outside);
      WriteTree(outside, {{"config.txt", "theirs"}, {"f0.txt", "theirs 0"}, {"sub/deep.txt", "theirs deep"}});
      const TreeSnapshot theirs = SnapshotTree(outside);
      const fs::path swapped = installDir_ / folder;
      // The rest of the installation is the old version again.
      const auto rest = [&folder](TreeSnapshot tree) {
        for (auto entry = tree.begin(); entry != tree.end();) {
          entry = entry->first.rfind(folder, 0) == 0 ? tree.erase(entry) : std::next(entry);
        }
        return tree;
      };
      const TreeSnapshot before = rest(Installation());
      Settings settings = {{"UPDATE_FAULT_SWAP", swapped.string()},
                           {"UPDATE_FAULT_SWAP_TO", outside.string()},
                           {"UPDATE_FAULT_SWAP_WHEN", "/.update-journal"}};
      if (moved) settings.push_back({"UPDATE_FAULT_SWAP_MOVE", "1"});
      RunResult result;
      {
        const FaultPlan plan(settings);
        result = UpdateWithoutApp(zip_.string());
      }
      ASSERT_TRUE(moved ? !fs::exists(outside) : fs::is_symlink(swapped)) << folder << " not swapped";
      EXPECT_EQ(result.exitCode, 4) << folder;
      ExpectLogInOrder({{kError, kSwappedFolderLine, "Folder Swapped Since The Plan:" + swapped.string()}});
      EXPECT_EQ(SnapshotTree(swapped), theirs) << folder << (moved ? " moved" : " linked");
      fs::remove_all(swapped);
      EXPECT_EQ(rest(Installation()), before) << folder;
    }
  }
}

// Whoever can write the archive rewrites it after its signature was checked,
// as the extraction opens it: what is installed is what was checked.
TEST_F(InstallRun, AnArchiveRewrittenAfterItsSignatureCheckIsInstalledAsChecked) {
  const char* made = std::getenv("UPDATE_SIGNED_ARCHIVES");
  if (made == nullptr) GTEST_SKIP() << "UPDATE_SIGNED_ARCHIVES names no folder: run through ctest";
  const fs::path archives = made;
  fs::copy_file(archives / "key.pub", updaterDir_ / "update-key.pub");
  fs::copy_file(archives / "prehashed.zip", zip_, fs::copy_options::overwrite_existing);
  fs::copy_file(archives / "prehashed.zip.minisig", zip_.string() + ".minisig");
  RunResult result;
  {
    const FaultPlan plan(
        {{"UPDATE_FAULT_REWRITE", zip_.string()}, {"UPDATE_FAULT_REWRITE_WITH", (archives / "planted.zip").string()}});
    result = UpdateWithoutApp(zip_.string());
  }
  ASSERT_EQ(ReadFileBytes(zip_), ReadFileBytes(archives / "planted.zip")) << "the archive was not rewritten";
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(ReadFileBytes(installDir_ / "readme.txt"), "prehashed\n");
}

// A file held for a moment (its renames refused with EBUSY twice) is waited
// for and the update installs; one held for good ends the install with 4
// once the run's time for waiting, shortened here, is used up. A file moved
// into a merged folder is logged by the path it replaces.
TEST_F(InstallRun, AFileHeldForAMomentIsWaitedFor) {
  const TreeSnapshot oldVersion = Installation();
  const TreeSnapshot newVersion = NewVersion();
  const fs::path readme = installDir_ / "readme.txt";
  const fs::path config = installDir_ / "data" / "config.txt";
  const std::string busy = ", error:" + std::to_string(EBUSY) + ", Waited:";
  const struct {
    fs::path refused;
    fs::path logged;
    const char* times;
    int exitCode;
    const char* waited;
  } cases[] = {{readme, readme, "2", 0, "150 ms"},
               {config, config, "2", 0, "150 ms"},
               {installDir_ / "temp" / "update" / "data" / "config.txt", config, "2", 0, "150 ms"},
               {readme, readme, "0", 4, "300 ms"}};
  for (const auto& held : cases) {
    WriteOldVersion();
    RunResult result;
    {
      const FaultPlan plan({{"UPDATE_FAULT_RENAME_FROM", held.refused.string()},
                            {"UPDATE_FAULT_BUSY_TIMES", held.times},
                            {"UPDATE_TEST_BOUND_HELD_MS", "300"}});
      result = UpdateWithoutApp(zip_.string());
    }
    EXPECT_EQ(result.exitCode, held.exitCode) << held.refused;
    EXPECT_EQ(Installation(), held.exitCode == 0 ? newVersion : oldVersion) << held.refused;
    ExpectLogInOrder({{kWarning, kWaitedLine, "Waited For Held File:" + held.logged.string() + busy + held.waited}});
  }
}
