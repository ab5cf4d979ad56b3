// Copying with replacement, on both systems.
#include "platform/file_copy.h"

#include <chrono>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/system_error.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

TEST(FileCopy, CopiesAndReplaces) {
  TempDir dir;
  WriteFileBytes(dir.path() / "src" / "a.bin", std::string("new\0bytes", 9));
  WriteFileBytes(dir.path() / "dst" / "a.bin", "old contents, longer than the new");
  ASSERT_TRUE(platform::CopyFileReplacing(dir.str("src/a.bin"), dir.str("dst/a.bin")));
  EXPECT_EQ(ReadFileBytes(dir.path() / "dst" / "a.bin"), std::string("new\0bytes", 9));
  ASSERT_TRUE(platform::CopyFileReplacing(dir.str("src/a.bin"), dir.str("dst/b.bin")));
  EXPECT_EQ(ReadFileBytes(dir.path() / "dst" / "b.bin"), std::string("new\0bytes", 9));
  // Nothing of the copy's staging is left behind on either side.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "src"), fs::directory_iterator()), 1);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "dst"), fs::directory_iterator()), 2);
}

TEST(FileCopy, FailuresKeepTheSystemsReason) {
  TempDir dir;
  WriteFileBytes(dir.path() / "a.txt", "a");
  EXPECT_FALSE(platform::CopyFileReplacing(dir.str("missing.txt"), dir.str("b.txt")));
  EXPECT_EQ(platform::LastSystemError(), 2);  // ENOENT and ERROR_FILE_NOT_FOUND alike
  EXPECT_FALSE(fs::exists(dir.path() / "b.txt"));
  EXPECT_FALSE(platform::CopyFileReplacing(dir.str("a.txt"), dir.str("no/such/dir/a.txt")));
  EXPECT_NE(platform::LastSystemError(), 0);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(FileCopy, KeepsTheLastWriteTime) {
  TempDir dir;
  WriteFileBytes(dir.path() / "a.txt", "a");
  const auto stamp = fs::last_write_time(dir.path() / "a.txt") - std::chrono::hours(24 * 400);
  fs::last_write_time(dir.path() / "a.txt", stamp);
  ASSERT_TRUE(platform::CopyFileReplacing(dir.str("a.txt"), dir.str("b.txt")));
  EXPECT_EQ(fs::last_write_time(dir.path() / "b.txt"), stamp);
}

TEST(FileCopy, CopiesEveryByteWhateverTheSize) {
  TempDir dir;
  for (const std::size_t size :
       {std::size_t{0}, std::size_t{1}, std::size_t{(1 << 16) + 3}, std::size_t{(3 << 20) + 7}}) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 4093) & 0xFF);
    WriteFileBytes(dir.path() / "source.bin", bytes);
    WriteFileBytes(dir.path() / "target.bin", std::string(100, 'x'));
    ASSERT_TRUE(platform::CopyFileReplacing(dir.str("source.bin"), dir.str("target.bin"))) << size;
    EXPECT_EQ(ReadFileBytes(dir.path() / "target.bin"), bytes) << size;
  }
}
