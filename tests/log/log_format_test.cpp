// Line layout and file names of the log, at fixed times.
#include "log/log_format.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/support/log_words.h"

using namespace testing_support;

namespace {

std::tm At(int year, int month, int day, int hour, int minute, int second) {
  std::tm when{};
  when.tm_year = year - 1900;
  when.tm_mon = month - 1;
  when.tm_mday = day;
  when.tm_hour = hour;
  when.tm_min = minute;
  when.tm_sec = second;
  return when;
}

std::string Line(const std::tm& when, int ms, int level, const char* message) {
  char buffer[4100];
  EXPECT_TRUE(FormatLogLine(buffer, sizeof buffer, when, ms, level, "UpGrade/update", 190, message));
  return buffer;
}

}  // namespace

TEST(LogFormat, LineHasUnpaddedHourAndBracketedName) {
  EXPECT_EQ(Line(At(2024, 7, 3, 9, 5, 7), 45, 2, "done"),
            "20240703-9:05:07.045" + kLogOpen + kLogLevels[2] + kLogClose + "UpGrade/update 190 done\n");
  EXPECT_EQ(Line(At(2024, 12, 31, 23, 59, 59), 999, 4, "x"),
            "20241231-23:59:59.999" + kLogOpen + kLogLevels[4] + kLogClose + "UpGrade/update 190 x\n");
}

TEST(LogFormat, EveryLevelHasItsName) {
  for (int level = 0; level < 7; ++level) {
    const std::string line = Line(At(2024, 1, 2, 0, 0, 0), 0, level, "m");
    EXPECT_NE(line.find(kLogOpen + kLogLevels[level] + kLogClose), std::string::npos) << "level " << level;
  }
}

TEST(LogFormat, LevelOutsideTableHasEmptyName) {
  EXPECT_EQ(Line(At(2024, 1, 2, 0, 0, 0), 0, 7, "m"),
            "20240102-0:00:00.000" + kLogOpen + kLogClose + "UpGrade/update 190 m\n");
  EXPECT_EQ(Line(At(2024, 1, 2, 0, 0, 0), 0, -1, "m"),
            "20240102-0:00:00.000" + kLogOpen + kLogClose + "UpGrade/update 190 m\n");
}

TEST(LogFormat, PercentSignsInMessageAreText) {
  EXPECT_NE(Line(At(2024, 1, 2, 0, 0, 0), 0, 2, "100% %s %d %n").find(" 190 100% %s %d %n\n"), std::string::npos);
}

TEST(LogFormat, OverlongLineIsCutAndStillEndsTheLine) {
  const std::string message(5000, 'm');
  char buffer[4100];
  buffer[sizeof buffer - 1] = 'x';
  EXPECT_FALSE(FormatLogLine(buffer, sizeof buffer, At(2024, 1, 2, 0, 0, 0), 0, 2, "src", 1, message.c_str()));
  const std::string line(buffer);
  EXPECT_EQ(line.size(), 4099u);
  EXPECT_EQ(line.back(), '\n');
}

TEST(LogFormat, FileNamePerLocalDay) {
  char path[260];
  ASSERT_TRUE(FormatLogFilePath(path, sizeof path, "C:\\app\\/log/", At(2024, 7, 3, 23, 59, 59)));
  EXPECT_STREQ(path, "C:\\app\\/log/log_20240703.txt");
  ASSERT_TRUE(FormatLogFilePath(path, sizeof path, "C:\\app\\/log/", At(2024, 7, 4, 0, 0, 0)));
  EXPECT_STREQ(path, "C:\\app\\/log/log_20240704.txt");
}

TEST(LogFormat, DirectoryTakesOneSeparatorAfterTheRoot) {
  const std::string separator = platform::kPathSeparator;
  char directory[260];
  ASSERT_TRUE(FormatLogDirectory(directory, sizeof directory, "C:\\app\\"));
  EXPECT_EQ(directory, "C:\\app\\log" + separator);
  ASSERT_TRUE(FormatLogDirectory(directory, sizeof directory, "/opt/app"));
  EXPECT_EQ(directory, "/opt/app" + separator + "log" + separator);
  ASSERT_TRUE(FormatLogDirectory(directory, sizeof directory, ""));
  EXPECT_EQ(directory, separator + "log" + separator);
}

TEST(LogFormat, PathsThatDoNotFitAreRefused) {
  char directory[260];
  EXPECT_TRUE(FormatLogDirectory(directory, sizeof directory, std::string(254, 'r').c_str()));
  EXPECT_FALSE(FormatLogDirectory(directory, sizeof directory, std::string(255, 'r').c_str()));
  char path[260];
  EXPECT_TRUE(FormatLogFilePath(path, sizeof path, std::string(259 - 16, 'd').c_str(), At(2024, 1, 2, 0, 0, 0)));
  EXPECT_FALSE(FormatLogFilePath(path, sizeof path, std::string(260 - 16, 'd').c_str(), At(2024, 1, 2, 0, 0, 0)));
}
