// Windows only: a placed file held by a restarted program keeps recovery
// from finishing; the journal and the backups wait for the next run.
#include "UpGrade/install_transaction.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "UpGrade/install_journal.h"
#include "tests/UpGrade/install_fixture.h"
#include "tests/support/test_programs.h"

namespace fs = std::filesystem;
using namespace testing_support;

using WindowsRecoveryTest = InstallTest;

TEST_F(WindowsRecoveryTest, AHeldPlacedFileKeepsTheJournalUntilItIsFree) {
  const fs::path app = dir_.path() / "app";
  const fs::path work = app / kWorkDirName;
  const fs::path backups = work / kBackupDirName;
  // Cut off after app.exe was moved aside and the new one placed.
  WriteFileBytes(backups / "0", "old program");
  WriteFileBytes(app / "app.exe", "new program");
  {
    InstallJournal journal((work / kJournalName).string());
    ASSERT_TRUE(journal.Append({JournalRecord::kAside, 0, "app.exe"}));
  }
  {
    ChildProcess holder(HelperProgram("hold_file"), {(app / "app.exe").string()});
    ASSERT_TRUE(WaitForFile((app / "app.exe").string() + ".held"));
    EXPECT_EQ(RecoverInstall(app.string(), work.string()).state, Recovery::kFailed);
    EXPECT_TRUE(fs::exists(work / kJournalName));
    EXPECT_EQ(ReadFileBytes(backups / "0"), "old program");
  }
  fs::remove(app / "app.exe.held");
  EXPECT_EQ(RecoverInstall(app.string(), work.string()).state, Recovery::kRolledBack);
  EXPECT_EQ(ReadFileBytes(app / "app.exe"), "old program");
  EXPECT_FALSE(fs::exists(work / kJournalName));
}
