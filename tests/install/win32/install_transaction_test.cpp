// Windows only: files held open by other programs. Recovery waits for a held
// placed file; an install passes over a backup that is still held.
#include "install/install.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "install/install_journal.h"
#include "install/install_layout.h"
#include "tests/UpGrade/install_fixture.h"
#include "tests/support/test_programs.h"

namespace fs = std::filesystem;
using namespace testing_support;

using WindowsRecoveryTest = InstallTest;

TEST_F(WindowsRecoveryTest, AHeldPlacedFileKeepsTheJournalUntilItIsFree) {
  const fs::path app = dir_.path() / "app";
  const fs::path work = app / kWorkDirName;
  const std::string backup = InstallLayout(app.string(), work.string()).Backup(0);
  // Cut off after app.exe was moved aside and the new one placed.
  WriteFileBytes(backup, "old program");
  WriteFileBytes(app / "app.exe", "new program");
  {
    InstallJournal journal((work / kJournalName).string());
    ASSERT_TRUE(journal.Add({JournalRecord::kMoveAside, 0, "app.exe"}) && journal.Flush());
  }
  {
    ChildProcess holder(HelperProgram("hold_file"), {(app / "app.exe").string()});
    ASSERT_TRUE(WaitForFile((app / "app.exe").string() + ".held"));
    EXPECT_EQ(RecoverInstall(app.string(), work.string()).state, Recovery::kFailed);
    EXPECT_TRUE(fs::exists(work / kJournalName));
    EXPECT_EQ(ReadFileBytes(backup), "old program");
  }
  fs::remove(app / "app.exe.held");
  EXPECT_EQ(RecoverInstall(app.string(), work.string()).state, Recovery::kRolledBack);
  EXPECT_EQ(ReadFileBytes(app / "app.exe"), "old program");
  EXPECT_FALSE(fs::exists(work / kJournalName));
}

// A backup of an earlier install that could not be deleted (a program still
// held it) is neither reused nor overwritten: the install numbers its own
// backups past it.
TEST_F(WindowsRecoveryTest, ABackupStillHeldFromAnEarlierInstallIsPassedOver) {
  const fs::path app = dir_.path() / "app";
  const fs::path work = app / kWorkDirName;
  WriteFileBytes(app / "app.exe", "old program");
  WriteFileBytes(work / kUpdateDirName / "app.exe", "new program");
  const std::string leftover = InstallLayout(app.string(), work.string()).Backup(0);
  WriteFileBytes(leftover, "an earlier backup");
  {
    ChildProcess holder(HelperProgram("hold_file"), {leftover});
    ASSERT_TRUE(WaitForFile(leftover + ".held"));
    EXPECT_TRUE(InstallTree((work / kUpdateDirName).string(), app.string(), work.string()).installed);
  }
  fs::remove(leftover + ".held");
  EXPECT_EQ(ReadFileBytes(app / "app.exe"), "new program");
  EXPECT_EQ(ReadFileBytes(leftover), "an earlier backup");
}
