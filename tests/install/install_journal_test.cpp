// The install's journal on real files: records survive with any path, and a
// record cut off by a kill is not taken for a whole one.
#include "install/install_journal.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

TEST(InstallJournal, RecordsComeBackAsWrittenWhateverThePath) {
  TempDir dir;
  const std::string path = dir.str("journal");
  const std::vector<JournalRecord> records = {
      {JournalRecord::kNew, 0, "plugins"},
      {JournalRecord::kMoveAside, 0, "app.exe"},
      {JournalRecord::kMoveAside, 12, "dir with blanks/100% \"done\"\nline two\r.txt"},
      {JournalRecord::kMoveAside, 13, "%0A"},
      {JournalRecord::kCommit, 0, ""},
  };
  {
    InstallJournal journal(path);
    ASSERT_TRUE(journal.ok());
    for (const JournalRecord& record : records) ASSERT_TRUE(journal.Add(record) && journal.Flush());
    // Every record is on disk before the next step, not when the journal closes.
    EXPECT_EQ(ReadJournal(path).records, records);
  }
  EXPECT_EQ(ReadJournal(path).records, records);
}

TEST(InstallJournal, CutOffLinesArePassedOverAndForeignOnesDamageTheJournal) {
  TempDir dir;
  const std::string path = dir.str("journal");
  EXPECT_TRUE(ReadJournal(path).records.empty());
  EXPECT_FALSE(ReadJournal(path).found);
  const std::vector<JournalRecord> whole = {{JournalRecord::kMoveAside, 3, "a.txt"}};
  struct Case {
    std::string text;
    std::vector<JournalRecord> records;
    std::string damage;
  };
  const std::vector<Case> cases = {
      {"aside 3 a.txt\n", whole, ""},
      {"aside 3 a.txt\ncommit 0 ", whole, ""},  // the last record's write was cut off
      {"aside 3 a.txt\naside 4 b.tx", whole, ""},
      {std::string("aside 3 a.txt\nasi\0\0\0\0", 22), whole, ""},  // a power cut's zeros
      {"aside 3 a.txt\nasided 3 a.txt\nplace 0 \n", whole, ""},    // the last shipped version's lines
      {"bogus 1 x\naside 3 a.txt\n", {}, "unknown record on line 1"},
      {"aside x a.txt\naside 3 a.txt\n", {}, "damaged line 1"},
      {"aside 3 a.txt\naside 3 %zz\n", {}, "damaged line 2"},
      {"aside 3\n", {}, "damaged line 1"},
      {"aside 3 a.txt\nin 1 x\n", {}, "damaged line 2"},  // shares more than the path before holds
      {"aside 3 a.txt\nnew 0 ../outside\n", {}, "damaged line 2"},
      {"aside 1 /etc/passwd\n", {}, "damaged line 1"},
  };
  for (const Case& c : cases) {
    WriteFileBytes(path, c.text);
    const JournalRead read = ReadJournal(path);
    EXPECT_EQ(read.records, c.records) << c.text;
    EXPECT_EQ(read.damage, c.damage) << c.text;
  }
}

// A journal that is there but cannot be read is told apart from no journal.
TEST(InstallJournal, UnreadableJournalIsNotTakenForNone) {
  TempDir dir;
  const std::string path = dir.str("journal");
  fs::create_directory(path);
  const JournalRead read = ReadJournal(path);
  EXPECT_TRUE(read.found);
  EXPECT_FALSE(read.readable());
  EXPECT_NE(read.error, 0);
}
