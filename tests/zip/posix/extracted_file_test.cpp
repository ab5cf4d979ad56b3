// What a file extracted on Linux keeps from its entry: mode bits (or, made
// without them, what its first bytes say), local stamp.
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <utility>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/temp_dir.h"
#include "tests/zip/zip_test_helpers.h"
#include "zip/zip_reader.h"

using namespace zip_testing;

namespace fs = std::filesystem;

namespace {

EntryRecipe UnixFile(const std::string& name, std::uint32_t mode) {
  return zip_testing::UnixFile(name, "#!/bin/sh\n", mode);
}

unsigned ModeOf(const fs::path& file) {
  struct stat status {};
  stat(file.c_str(), &status);
  return status.st_mode & 07777;
}

// Sets TZ for the life of the object and restores it afterwards.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) saved_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ScopedTimeZone() {
    if (saved_.empty()) {
      unsetenv("TZ");
    } else {
      setenv("TZ", saved_.c_str(), 1);
    }
    tzset();
  }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

 private:
  std::string saved_;
};

}  // namespace

TEST(ExtractedFileOnPosix, KeepsTheModeOfEntriesMadeOnUnix) {
  testing_support::TempDir dir;
  EntryRecipe fromWindows = File("readme.txt", "r");
  fromWindows.externalAttributes = 0x20;  // the DOS archive bit
  ZipReader reader(
      AsBuffer(ArchiveBytes({UnixFile("bin/app", 0100755), UnixFile("conf", 0100640), UnixFile("setuid", 0104755),
                             UnixFile("readonly", 0100444), UnixFile("no-bits", 0), UnixFile("link", 0120777),
                             UnixFile("writable", 0100777), UnixFile("shared", 0100666), fromWindows,
                             File("tool",
                                  "\x7f"
                                  "ELF\x01"),
                             File("run.sh", "#!/bin/sh\n"),
                             File("elf-like",
                                  "\x7f"
                                  "EL"),
                             File("empty", "")})),
      "");
  ASSERT_TRUE(reader.extractAll(dir.str()));
  EXPECT_EQ(ModeOf(dir.path() / "bin/app"), 0755u);
  EXPECT_EQ(ModeOf(dir.path() / "conf"), 0640u);
  EXPECT_EQ(ModeOf(dir.path() / "setuid"), 0755u);
  EXPECT_EQ(ModeOf(dir.path() / "readonly"), 0644u);
  EXPECT_EQ(ModeOf(dir.path() / "no-bits"), 0644u);
  EXPECT_EQ(ModeOf(dir.path() / "writable"), 0755u);
  EXPECT_EQ(ModeOf(dir.path() / "shared"), 0644u);
  // A link entry is a link now, not a file (link_entries_test.cpp).
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir.path() / "link")));
  EXPECT_EQ(ModeOf(dir.path() / "readme.txt"), 0644u);
  // Made without Unix modes: a program is known by how it starts.
  EXPECT_EQ(ModeOf(dir.path() / "tool"), 0755u);
  EXPECT_EQ(ModeOf(dir.path() / "run.sh"), 0755u);
  EXPECT_EQ(ModeOf(dir.path() / "elf-like"), 0644u);
  EXPECT_EQ(ModeOf(dir.path() / "empty"), 0644u);
}

// The stamp is local time: at UTC+8, 10:05:08 on 3 July 2024 is 02:05:08 UTC;
// the same stamp read again after the zone changed follows the new zone.
TEST(ExtractedFileOnPosix, ReadsTheStampAsLocalTime) {
  for (const auto& [timeZone, seconds] :
       {std::pair<const char*, time_t>{"CST-8", 1719972308}, std::pair<const char*, time_t>{"UTC0", 1720001108}}) {
    testing_support::TempDir dir;
    ScopedTimeZone zone(timeZone);
    ZipReader reader(AsBuffer(ArchiveBytes({File("stamped.txt", "s")})), "");
    ASSERT_TRUE(reader.extractAll(dir.str()));
    struct stat status {};
    ASSERT_EQ(stat((dir.path() / "stamped.txt").c_str(), &status), 0);
    EXPECT_EQ(status.st_mtime, seconds) << timeZone;
  }
}
