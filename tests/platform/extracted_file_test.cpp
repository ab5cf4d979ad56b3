// The file an entry is extracted to: created or replaced whole, refused
// where no file can be written.
#include "platform/extracted_file.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

TEST(ExtractedFile, HoldsExactlyWhatWasWrittenReplacingAnOlderFile) {
  testing_support::TempDir dir;
  WriteFileBytes(dir.path() / "old.bin", std::string(200000, 'o'));
  const std::string big(300000, 'b');
  struct Case {
    const char* name;
    std::string written;
  };
  for (const Case& sample :
       {Case{"new.bin", "fresh"}, Case{"old.bin", "short"}, Case{"empty.bin", ""}, Case{"big.bin", big}}) {
    platform::ExtractedFile file(dir.str(sample.name));
    ASSERT_TRUE(file.ok()) << sample.name;
    // In two pieces, as the extraction writes chunk after chunk.
    const std::size_t half = sample.written.size() / 2;
    EXPECT_TRUE(file.Write(sample.written.data(), half));
    EXPECT_TRUE(file.Write(sample.written.data() + half, sample.written.size() - half));
    EXPECT_TRUE(file.Close());
    EXPECT_FALSE(file.Close());
    EXPECT_EQ(ReadFileBytes(dir.path() / sample.name), sample.written) << sample.name;
  }
}

TEST(ExtractedFile, RefusedWhereNoFileCanBeMade) {
  testing_support::TempDir dir;
  std::filesystem::create_directories(dir.path() / "a directory");
  for (const char* name : {"a directory", "missing/parent.bin"}) {
    platform::ExtractedFile file(dir.str(name));
    EXPECT_FALSE(file.ok()) << name;
    EXPECT_FALSE(file.Close()) << name;
  }
}
