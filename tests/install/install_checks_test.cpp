// What is checked before anything is stopped: the archive's entries and the
// installation's rights.
#include "install/install.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/file_names.h"
#include "tests/support/temp_dir.h"

namespace {

std::vector<ArchiveEntry> Entries(const std::vector<std::string>& names) {
  std::vector<ArchiveEntry> entries;
  for (const std::string& name : names) entries.push_back(ArchiveEntry{name, {}, 0, 0, 0, {}});
  return entries;
}

struct Case {
  std::vector<std::string> names;
  bool expected;
};

}  // namespace

TEST(InstallChecks, UpdateEntriesAreNamesBelowTheUpdateFolder) {
  // Windows file names ignore case: an archive made there may say "Update/".
  const bool foldsCase = platform::SameFileName("Update", "update");
  const std::vector<Case> cases = {
      {{"update/app.exe"}, true},
      {{"update\\app.exe"}, true},
      {{"./update/sub/"}, true},
      {{"other/x", "update/lib/a.dll"}, true},
      {{"Update/app.exe"}, foldsCase},
      {{"UPDATE/sub/x"}, foldsCase},
      {{"update/"}, false},
      {{"update"}, false},
      {{"updates/app.exe", "app.exe", "other/update/x"}, false},
      {{}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HoldsUpdateEntries(Entries(c.names)), c.expected) << ::testing::PrintToString(c.names);
  }
}

TEST(InstallChecks, NoEntryMayTakeTheJournalOrTheBackups) {
  const bool foldsCase = platform::SameFileName(".Update-Journal", ".update-journal");
  const std::vector<Case> cases = {
      {{".update-journal"}, true},
      {{".update-backup/0"}, true},
      {{"update/x", "./.update-backup/"}, true},
      {{"update/temp/.update-journal"}, true},
      {{"update/temp/.update-backup/1"}, true},
      {{"update/.update-probe"}, true},
      {{"update/.update-lock"}, true},
      {{"update/.update-signed-release"}, true},
      {{"update/temp"}, true},
      {{"update/addons/.update-backup/1"}, true},  // a linked folder's backup area
      {{"update/ok.txt", "update/temp/notes.txt"}, true},
      {{".UPDATE-JOURNAL"}, foldsCase},
      {{"update/.update-journal", "update/.update-backup/1"}, false},
      {{".update-journal-notes", "update/tempo/x", "temp/x"}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EntryTakingReservedName(Entries(c.names), "no-installation") != nullptr, c.expected)
        << ::testing::PrintToString(c.names);
  }
}

TEST(InstallChecks, AnInstallationAcceptsANewFileAndKeepsNoProbe) {
  testing_support::TempDir dir;
  EXPECT_TRUE(AcceptsNewFile(dir.str()).accepted);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  EXPECT_FALSE(AcceptsNewFile(dir.str("missing")).accepted);
}
