// What a file extracted on Windows keeps from its entry: creation and
// last-write times both from the entry's local stamp.
#include <filesystem>
#include <string>

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/unique_handle.h"
#include "tests/support/temp_dir.h"
#include "tests/zip/archive_builder.h"
#include "zip/zip_reader.h"

using namespace zip_testing;

namespace {

SYSTEMTIME AsLocalTime(const FILETIME& utc) {
  FILETIME local{};
  SYSTEMTIME parts{};
  FileTimeToLocalFileTime(&utc, &local);
  FileTimeToSystemTime(&local, &parts);
  return parts;
}

}  // namespace

TEST(ExtractedFileOnWindows, CreationAndLastWriteTimesAreTheEntrysStamp) {
  testing_support::TempDir dir;
  WriteArchive(dir.str("a.zip"), {File("stamped.txt", "s")});
  ZipReader reader(dir.str("a.zip"), "");
  ASSERT_TRUE(reader.extractAll(dir.str("out")));

  platform::UniqueHandle file(CreateFileA(dir.str("out/stamped.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(file.ok());
  FILETIME created{}, accessed{}, written{};
  ASSERT_TRUE(GetFileTime(file.get(), &created, &accessed, &written));
  for (const FILETIME& time : {created, written}) {
    const SYSTEMTIME local = AsLocalTime(time);
    EXPECT_EQ(local.wYear, 2024);
    EXPECT_EQ(local.wMonth, 7);
    EXPECT_EQ(local.wDay, 3);
    EXPECT_EQ(local.wHour, 10);
    EXPECT_EQ(local.wMinute, 5);
    EXPECT_EQ(local.wSecond, 8);
  }
  // The last access is the extraction's own, not the stamp.
  EXPECT_NE(AsLocalTime(accessed).wYear, 2024);
}
