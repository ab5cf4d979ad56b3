// Test support: a fresh directory for tree installations, with the log kept inside it.
#pragma once

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "UpGrade/log_lines.h"
#include "log/log.h"
#include "platform/file_system.h"
#include "tests/support/temp_dir.h"

namespace testing_support {

class InstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedRoot_ = LogRoot;
    SetLogRoot(dir_.str() + platform::kPathSeparator);
  }
  void TearDown() override { SetLogRoot(savedRoot_); }

  /// The copy-failure lines logged so far, each from its message on, line feed removed.
  std::vector<std::string> CopyFailureMessages() const {
    std::vector<std::string> messages;
    const std::filesystem::path logDir = dir_.path() / "log";
    if (!std::filesystem::exists(logDir)) return messages;
    const std::regex line(std::string(kDriverLogSource) + " " + std::to_string(kCopyFailedLine) + " (source:[^\r\n]*)");
    for (const auto& file : std::filesystem::directory_iterator(logDir)) {
      const std::string text = ReadFileBytes(file.path());
      for (std::sregex_iterator it(text.begin(), text.end(), line), end; it != end; ++it) {
        messages.push_back((*it)[1]);
      }
    }
    return messages;
  }

  TempDir dir_;

 private:
  std::string savedRoot_;
};

}  // namespace testing_support
