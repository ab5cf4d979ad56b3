// The log writer on real files: the day's file, levels, redirection, threads.
#include "log/log.h"

#include <chrono>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/log_append.h"
#include "tests/support/log_words.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::kLogClose;
using testing_support::kLogLevels;
using testing_support::kLogOpen;
using testing_support::ReadFileBytes;
using testing_support::TempDir;

namespace {

class LogWriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedRoot_ = LogRoot;
    // A root that ends with the separator, as the start-up context gives it.
    SetLogRoot(dir_.str() + "/");
  }
  void TearDown() override { SetLogRoot(savedRoot_); }

  fs::path LogDirectory() const { return dir_.path() / "log"; }

  // The only file in the log directory (a test runs within one day, or the
  // midnight case makes it two: then the last one).
  fs::path TodaysFile() const {
    fs::path last;
    for (const auto& entry : fs::directory_iterator(LogDirectory())) {
      if (last.empty() || entry.path() > last) last = entry.path();
    }
    return last;
  }

  // File contents with CR LF folded to LF: the Windows text mode writes CR LF.
  std::string LogText() const {
    std::string text = ReadFileBytes(TodaysFile());
    return std::regex_replace(text, std::regex("\r\n"), "\n");
  }

  TempDir dir_;
  std::string savedRoot_;
};

std::string DayFileNameNow() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const std::tm day = platform::LocalTime(std::chrono::duration_cast<std::chrono::seconds>(now).count());
  char date[16];
  std::strftime(date, sizeof date, "%Y%m%d", &day);
  return std::string("log_") + date + ".txt";
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace

TEST_F(LogWriteTest, WritesStampedLineToTheDaysFile) {
  const std::string before = DayFileNameNow();
  LogWrite(Info, "UpGrade/update", 190, "done");
  const std::string after = DayFileNameNow();
  // Either reading is right for a run that crosses midnight.
  const std::string name = TodaysFile().filename().string();
  EXPECT_TRUE(name == before || name == after) << name;

  const std::regex layout("\\d{8}-\\d{1,2}:\\d{2}:\\d{2}\\.\\d{3}" + kLogOpen + kLogLevels[Info] + kLogClose +
                          "UpGrade/update 190 done\n");
  EXPECT_TRUE(std::regex_match(LogText(), layout)) << LogText();
}

TEST_F(LogWriteTest, DebugLineCreatesAnEmptyFile) {
  LogWrite(Debug, "src", 1, "not written");
  ASSERT_FALSE(TodaysFile().empty());
  EXPECT_EQ(fs::file_size(TodaysFile()), 0u);
}

TEST_F(LogWriteTest, LinesAccumulateAndPercentSignsStay) {
  LogWrite(Warning, "src", 1, "first 100%");
  LogWrite(Error, "src", 2, "%s%d%n");
  const auto lines = SplitLines(LogText());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find(kLogLevels[Warning] + kLogClose + "src 1 first 100%"), std::string::npos);
  EXPECT_NE(lines[1].find(kLogLevels[Error] + kLogClose + "src 2 %s%d%n"), std::string::npos);
}

TEST_F(LogWriteTest, RedirectedOutputGetsNothingButUnnamedLevels) {
  ::testing::internal::CaptureStdout();
  LogWrite(Trace, "src", 1, "trace");
  LogWrite(Info, "src", 2, "info");
  LogWrite(7, "src", 3, "seven");
  const std::string printed = ::testing::internal::GetCapturedStdout();
  // A level outside the table is printed without a colour, whatever stdout is.
  EXPECT_EQ(SplitLines(printed).size(), 1u);
  EXPECT_NE(printed.find(kLogOpen + kLogClose + "src 3 seven\n"), std::string::npos);

  const auto lines = SplitLines(LogText());
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(lines[2].find(kLogOpen + kLogClose + "src 3 seven"), std::string::npos);
}

TEST_F(LogWriteTest, NegativeLevelIsWrittenWithoutName) {
  ::testing::internal::CaptureStdout();
  LogWrite(-1, "src", 4, "negative");
  ::testing::internal::GetCapturedStdout();
  EXPECT_NE(LogText().find(kLogOpen + kLogClose + "src 4 negative\n"), std::string::npos);
}

TEST_F(LogWriteTest, OverlongMessageIsCutToTheLineBuffer) {
  const std::string message(6000, 'x');
  LogWrite(Info, "src", 5, message.c_str());
  LogWrite(Info, "src", 6, "after");
  const auto lines = SplitLines(LogText());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), 4098u);  // 4099 bytes with the line feed
  EXPECT_NE(lines[1].find("src 6 after"), std::string::npos);
}

// The name gives way, not the code after it: 2047 bytes in all.
TEST_F(LogWriteTest, FormattedMessageIsCutAt2047CharactersInItsLongestName) {
  const std::string long_text(3000, 'y');
  LogFormatted(Warning, "src", 7, "%s|%s, error:%d", long_text.c_str(), "short", 5);
  LogFormatted(Warning, "src", 8, "%s=%d", "count", 5);
  const auto lines = SplitLines(LogText());
  ASSERT_EQ(lines.size(), 2u);
  const std::string kept = "...|short, error:5";
  const std::string message = std::string(2047 - kept.size(), 'y') + kept;
  EXPECT_EQ(lines[0].substr(lines[0].find("src 7 ") + 6), message);
  EXPECT_NE(lines[1].find("src 8 count=5"), std::string::npos);
}

TEST_F(LogWriteTest, OverlongRootIsRefusedWithoutWriting) {
  std::string deep;
  while (deep.size() < platform::kLongestLogPath) deep += "/abcdefghi";
  SetLogRoot(dir_.str() + deep);
  LogWrite(Info, "src", 1, "lost");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 0);
}

TEST_F(LogWriteTest, ManyThreadsLoseAndTearNoLine) {
  constexpr int kThreads = 8;
  constexpr int kLinesEach = 150;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      for (int n = 0; n < kLinesEach; ++n) {
        const std::string message = "thread " + std::to_string(t) + " line " + std::to_string(n);
        LogWrite(Info, "src", t, message.c_str());
      }
    });
  }
  for (auto& thread : threads) thread.join();

  const std::regex layout("\\d{8}-\\d{1,2}:\\d{2}:\\d{2}\\.\\d{3}" + kLogOpen + kLogLevels[Info] + kLogClose +
                          "src (\\d+) thread (\\d+) line (\\d+)");
  std::set<std::pair<int, int>> seen;
  for (const auto& line : SplitLines(LogText())) {
    std::smatch match;
    ASSERT_TRUE(std::regex_match(line, match, layout)) << line;
    EXPECT_EQ(match[1], match[2]);
    seen.emplace(std::stoi(match[2]), std::stoi(match[3]));
  }
  EXPECT_EQ(seen.size(), static_cast<std::size_t>(kThreads * kLinesEach));
}

TEST(CreateDirectoryTree, CreatesEveryMissingLevel) {
  TempDir dir;
  EXPECT_TRUE(CreateDirectoryTree(""));
  EXPECT_TRUE(CreateDirectoryTree(dir.str() + "/a\\b//c"));
  EXPECT_TRUE(fs::is_directory(dir.path() / "a" / "b" / "c"));
  EXPECT_TRUE(CreateDirectoryTree(dir.str() + "/a/b/c/"));
}

TEST(CreateDirectoryTree, FileInTheWayFails) {
  TempDir dir;
  testing_support::WriteFileBytes(dir.path() / "file", "x");
  EXPECT_FALSE(CreateDirectoryTree(dir.str() + "/file/sub"));
}
