// Extraction spread over writer threads: what it writes, and what a failure
// leaves, are those of an extraction in turn.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"
#include "tests/support/tree_snapshot.h"
#include "tests/zip/archive_builder.h"
#include "tests/zip/zip_test_helpers.h"
#include "zip/extraction_writers.h"
#include "zip/zip_reader.h"

using namespace zip_testing;
using testing_support::SnapshotTree;

namespace fs = std::filesystem;

namespace {

TEST(WriterChoice, NamesTakenForTheSameFileShareAWriter) {
  const std::vector<std::pair<std::string, std::string>> sameFile = {{"Update/Bin/App.EXE", "update/bin/app.exe"},
                                                                     {"a/b.txt.", "a/b.txt"},
                                                                     {"a/b.txt  ", "a/b.txt"},
                                                                     {"a\\b.txt", "a/b.txt"},
                                                                     {"./a//b.txt", "a/b.txt"},
                                                                     {"a/c/../b.txt", "a/b.txt"},
                                                                     {"dir. /b", "dir/b"}};
  for (const auto& [one, other] : sameFile) {
    for (std::size_t count = 2; count <= 4; ++count) {
      EXPECT_EQ(writerOf(one, count), writerOf(other, count)) << one << " | " << other << " over " << count;
    }
  }
}

TEST(WriterChoice, OnlyPlainAsciiNamesAreSpread) {
  const std::vector<std::pair<std::string, bool>> names = {{"update/bin/app.exe", true},
                                                           {"with space/x-y_z+1.txt", true},
                                                           {"caf\xc3\xa9.txt", false},
                                                           {"PROGRA~1/app.exe", false},
                                                           {"file.txt:stream", false},
                                                           {"tab\there", false},
                                                           {"del\x7f", false}};
  for (const auto& [name, spread] : names) EXPECT_EQ(spreadsSafely(name), spread) << name;
}

// Enough entries for writers, with what each path of the writers meets: folders
// named by entries and by files only, empty files, a repeated folder entry, a script,
// a Unix mode, entries large enough that a few fill the writers' queues, and
// one too large to be handed over whole. Their paths fill more than one of
// the blocks an undo keeps paths in.
std::vector<EntryRecipe> ManyEntries() {
  std::vector<EntryRecipe> entries;
  for (int i = 0; i < 1200; ++i) {
    const std::string folder = "update/folder-with-a-long-name-" + std::to_string(i % 7) + "/";
    if (i < 7 && i % 2 == 0) entries.push_back(File(folder, ""));
    entries.push_back(
        File(folder + "f" + std::to_string(i), i % 50 == 0 ? "" : std::string(i % 300 * 13, 'a' + i % 26)));
  }
  EntryRecipe repeated = File("update/folder-with-a-long-name-2/", "");
  repeated.dosDateTime = kJuly3rd2024 + (1u << 16);
  entries.push_back(repeated);
  entries.push_back(File("update/run.sh", "#!/bin/sh\n"));
  entries.push_back(UnixFile("update/tool", "tool", 0100750));
  std::string large(600 << 10, '\0');
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>((i * 2654435761u) >> 13);
  for (int i = 0; i < 4; ++i) entries.push_back(File("update/big" + std::to_string(i), large.substr(i, 400 << 10)));
  entries.push_back(File("update/large.bin", large));
  return entries;
}

class WrittenByWriters : public ::testing::Test {
 protected:
  std::unique_ptr<ZipReader> Open(const std::vector<EntryRecipe>& entries) {
    return OpenArchive(dir.str("archive.zip"), entries);
  }
  testing_support::TempDir dir;
};

// An occupied destination is extracted into in turn; an empty one, or one
// holding only the folders an earlier update's clear kept, by writers.
TEST_F(WrittenByWriters, WriteWhatAnExtractionInTurnWrites) {
  auto reader = Open(ManyEntries());
  testing_support::WriteTree(dir.path() / "in_turn", {{"occupied", "x"}});
  fs::create_directories(dir.path() / "cleared" / "update" / "folder-with-a-long-name-1");
  ASSERT_TRUE(reader->extractAll(dir.str("in_turn")));
  ASSERT_TRUE(reader->extractAll(dir.str("spread")));
  ASSERT_TRUE(reader->extractAll(dir.str("cleared")));
  EXPECT_EQ(SnapshotTree(dir.path() / "spread"), SnapshotTree(dir.path() / "in_turn", "occupied"));
  EXPECT_EQ(SnapshotTree(dir.path() / "cleared"), SnapshotTree(dir.path() / "spread"));
  for (const auto& file : fs::recursive_directory_iterator(dir.path() / "spread")) {
    if (!file.is_regular_file()) continue;
    const fs::path twin = dir.path() / "in_turn" / fs::relative(file.path(), dir.path() / "spread");
    EXPECT_EQ(fs::last_write_time(file.path()), fs::last_write_time(twin)) << file.path();
  }
}

// A failure met by the reader (a damaged entry) and one met by a writer (a
// file where a folder must go) both take away everything written, and only
// that: the folders an earlier update left stay.
TEST_F(WrittenByWriters, LeaveNothingWhenAnEntryFails) {
  std::vector<EntryRecipe> damaged = ManyEntries();
  EntryRecipe bad = File("update/folder-with-a-long-name-3/bad", "stored bytes");
  bad.method = kStored;
  bad.raw = RawEntry{bad.data.size(), 0x12345678};
  damaged.insert(damaged.begin() + 1100, bad);
  auto reader = Open(damaged);
  EXPECT_EQ(ErrorOf([&] { reader->extractAll(dir.str("damaged")); }),
            "Error -105 openinginternal file 'update/folder-with-a-long-name-3/bad' in zip");
  EXPECT_FALSE(fs::exists(dir.path() / "damaged"));

  std::vector<EntryRecipe> clashing = ManyEntries();
  clashing.insert(clashing.begin() + 1000, File("update/clash", "file"));
  clashing.push_back(File("update/clash/inner", "in a file?"));
  reader.reset();  // Windows keeps an open archive from being written again
  reader = Open(clashing);
  EXPECT_FALSE(reader->extractAll(dir.str("clashing")));
  EXPECT_FALSE(fs::exists(dir.path() / "clashing"));

  fs::create_directories(dir.path() / "cleared" / "update" / "folder-with-a-long-name-2");
  fs::create_directories(dir.path() / "cleared" / "update" / "gone-from-the-archive");
  const auto before = SnapshotTree(dir.path() / "cleared");
  EXPECT_FALSE(reader->extractAll(dir.str("cleared")));
  EXPECT_EQ(SnapshotTree(dir.path() / "cleared"), before);
}

}  // namespace
