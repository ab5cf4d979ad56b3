// The room an extraction needs, checked against the volume's free space
// before anything is written.
#include "zip/extraction_space.h"

#include <cstdint>
#include <limits>
#include <optional>

#include <gtest/gtest.h>

#include "platform/disk_space.h"
#include "platform/file_names.h"
#include "tests/support/temp_dir.h"
#include "tests/zip/archive_builder.h"
#include "tests/zip/zip_test_helpers.h"
#include "zip/zip_reader.h"

using namespace zip_testing;

namespace {

constexpr std::uint64_t kMost = std::numeric_limits<std::uint64_t>::max();

ArchiveEntry Listed(const std::string& name, std::uint64_t size, bool directory = false) {
  ArchiveEntry entry;
  entry.entryName = name;
  entry.unpackedSize = size;
  entry.directory = directory;
  return entry;
}

}  // namespace

// Top-level files of update/ are copied into the installation, so they are
// there twice; everything else once, directories not at all.
TEST(ExtractionSpace, BytesEachEntryTakes) {
  struct Case {
    const char* name;
    std::uint64_t size;
    bool directory;
    std::uint64_t expected;
  };
  for (const Case& c : std::initializer_list<Case>{{"update/app.exe", 100, false, 200},
                                                   {"update\\readme.txt", 7, false, 14},
                                                   {"update/lib/core.dll", 100, false, 100},
                                                   {"update/lib/", 0, true, 0},
                                                   {"update/odd", 50, true, 0},
                                                   {"update", 9, false, 9},
                                                   {"updates/a.txt", 5, false, 5},
                                                   {"other/update/a.txt", 5, false, 5},
                                                   {"update/huge", kMost, false, kMost}}) {
    EXPECT_EQ(bytesOnDisk(Listed(c.name, c.size, c.directory), c.name, "update"), c.expected) << c.name;
  }
  // The folder's name is compared as the system compares names.
  const std::uint64_t copiedTwice = platform::SameFileName("Update", "update") ? 14 : 7;
  EXPECT_EQ(bytesOnDisk(Listed("Update\\readme.txt", 7, false), "Update\\readme.txt", "update"), copiedTwice);
}

// Recorded sizes are the archive's claim: a sum that wrapped around would let
// two huge entries pass as small.
TEST(ExtractionSpace, SumsNeverWrapAround) {
  EXPECT_EQ(addBytes(1, 2), 3u);
  EXPECT_EQ(addBytes(kMost - 1, 1), kMost);
  EXPECT_EQ(addBytes(kMost / 2 + 1, kMost / 2 + 1), kMost);
  EXPECT_EQ(addBytes(kMost, kMost), kMost);
}

TEST(ExtractionSpace, FitsTheFreeSpaceLessTheReserve) {
  testing_support::TempDir dir;
  const std::optional<std::uint64_t> free = platform::FreeBytesOf(dir.str());
  ASSERT_TRUE(free.has_value());
  if (*free < 2 * kFreeSpaceReserve) GTEST_SKIP() << "the temporary directory's volume is nearly full";
  const std::uint64_t room = *free - kFreeSpaceReserve;
  // Other programs write meanwhile: each case keeps a wide margin.
  EXPECT_TRUE(fitsFreeSpace(dir.str(), 0));
  EXPECT_TRUE(fitsFreeSpace(dir.str(), room / 2));
  EXPECT_FALSE(fitsFreeSpace(dir.str(), room + *free / 2));
  EXPECT_FALSE(fitsFreeSpace(dir.str(), kMost));
  // A destination not made yet is judged by its nearest existing parent.
  EXPECT_FALSE(fitsFreeSpace(dir.str("not/yet/there"), kMost));
  EXPECT_TRUE(fitsFreeSpace(dir.str("not/yet/there"), room / 2));
}

// A few kilobytes that would expand to more than the disk holds are refused
// before anything is written, the update/ files counted twice. Each archive
// begins with an entry whose extraction would throw (bzip2): the refusal
// comes first and throws nothing.
TEST(ExtractionSpace, ArchivesThatCannotFitAreRefusedBeforeWriting) {
  testing_support::TempDir dir;
  const std::optional<std::uint64_t> free = platform::FreeBytesOf(dir.str());
  ASSERT_TRUE(free.has_value());
  if (*free < 2 * kFreeSpaceReserve) GTEST_SKIP() << "the temporary directory's volume is nearly full";
  const std::uint64_t fitsOnceNotTwice = (*free - kFreeSpaceReserve) / 4 * 3;
  const std::vector<std::vector<EntryRecipe>> archives = {
      {Claiming("update/lib/huge.bin", kMost / 2)},
      {Claiming("update/lib/one.bin", kMost / 2 + 1), Claiming("update/lib/two.bin", kMost / 2 + 1)},
      {Claiming("update/big.bin", fitsOnceNotTwice)}};
  for (std::vector<EntryRecipe> entries : archives) {
    entries.insert(entries.begin(), File("update/first.bz2", "pretend bzip2"));
    std::string bytes = ArchiveBytes(entries);
    SetMethod(bytes, "update/first.bz2", 12);
    ZipReader reader(AsBuffer(bytes), "");
    reader.setInstalledFolder("update");
    bool extracted = true;
    EXPECT_EQ(ErrorOf([&] { extracted = reader.extractAll(dir.str("out")); }), "no error") << entries.back().name;
    EXPECT_FALSE(extracted) << entries.back().name;
    EXPECT_TRUE(TreeOf(dir.str()).empty()) << entries.back().name;
  }
}
