// The log shared by many processes at once: every line arrives, whole.
#include <filesystem>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/support/child_process.h"
#include "tests/support/log_words.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_programs.h"

namespace fs = std::filesystem;
using namespace testing_support;

TEST(LogProcesses, ManyWritersAtOnceLoseAndTearNoLine) {
  constexpr int kWriters = 12;
  constexpr int kLines = 100;
  TempDir dir;
  const std::string root = dir.str() + platform::kPathSeparator;
  std::vector<std::unique_ptr<ChildProcess>> writers;
  for (int w = 0; w < kWriters; ++w) {
    writers.push_back(std::make_unique<ChildProcess>(
        HelperProgram("log_lines"), std::vector<std::string>{root, std::to_string(kLines), "w" + std::to_string(w)}));
    ASSERT_TRUE(writers.back()->started());
  }
  for (auto& writer : writers) ASSERT_TRUE(writer->WaitForExit());

  std::string text;
  for (const auto& file : fs::directory_iterator(dir.path() / "log")) text += ReadFileBytes(file.path());
  // Each whole line: stamp, level, source, its writer and number, the padding, its end.
  const std::regex whole("\\d{8}-\\d{1,2}:\\d\\d:\\d\\d\\.\\d{3}" + kLogOpen + kLogLevels[2] + kLogClose +
                         "log_lines 1 (w\\d+ \\d+) \\.{3000} end\r?");
  std::set<std::string> seen;
  std::size_t start = 0;
  for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
    const std::string line = text.substr(start, end - start);
    std::smatch match;
    EXPECT_TRUE(std::regex_match(line, match, whole)) << "torn line: " << line.substr(0, 80);
    if (!match.empty()) {
      EXPECT_TRUE(seen.insert(match[1]).second) << "twice: " << match[1];
    }
    start = end + 1;
  }
  EXPECT_EQ(start, text.size()) << "the file ends inside a line";
  EXPECT_EQ(seen.size(), static_cast<std::size_t>(kWriters * kLines));
}
