// The built updater driven end to end: a copy of it beside a fresh
// installation, a stand-in application, archives, and the log read back.
#pragma once

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "UpGrade/log_lines.h"
#include "platform/directory_listing.h"
#include "platform/file_system.h"
#include "tests/support/child_process.h"
#include "tests/support/log_words.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_programs.h"
#include "tests/zip/archive_builder.h"

namespace update_e2e {

namespace fs = std::filesystem;
using namespace testing_support;
using zip_testing::EntryRecipe;
using zip_testing::File;
using zip_testing::WriteArchive;

inline const std::string kUsage =
    "usage: update.exe --exeName=string --zipFile=string --dstPath=string [options] ... filename ...\n"
    "options:\n"
    "  -e, --exeName    kill process name (string)\n"
    "  -z, --zipFile    extract zip name (string)\n"
    "  -d, --dstPath    dest copy file path (string)\n"
    "      --help       print this message\n";

inline const std::string& kStartupLine = kLogStartup;

// Level names as they stand in the log.
inline const std::string& kInfo = kLogLevels[2];
inline const std::string& kWarning = kLogLevels[3];
inline const std::string& kError = kLogLevels[4];

struct LogEntry {
  std::string level;
  int line;
  std::string message;
};

// Every archive entry is stamped 3 July 2024, 10:05:08 local time.
constexpr int kStampYear = 2024, kStampMonth = 7, kStampDay = 3;
constexpr int kStampHour = 10, kStampMinute = 5, kStampSecond = 8;

// A directory entry: its name ends in "/".
inline EntryRecipe Directory(const std::string& name) {
  EntryRecipe entry = File(name, "");
  entry.method = zip_testing::kStored;
  return entry;
}

// A program as an archive made on Unix stores it: executable.
inline EntryRecipe Program(const std::string& name, const std::string& data) {
  EntryRecipe entry = File(name, data);
  entry.versionMadeBy = zip_testing::kMadeOnUnix;
  entry.externalAttributes = zip_testing::kExecutableFileAttributes;
  return entry;
}

// One run of the stand-in application, as it recorded itself.
struct AppRecord {
  int version = 0;
  std::uint32_t pid = 0;
  std::string currentDir;
};

// Text-mode output on Windows ends its lines with CR LF.
inline std::string WithLineFeeds(const std::string& text) { return std::regex_replace(text, std::regex("\r\n"), "\n"); }

template <typename Condition>
bool WaitFor(Condition condition) {
  for (int i = 0; i < 300; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return condition();
}

class UpdateRun : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path self = platform::ExecutablePath().value;
    suffix_ = self.extension().string();
    updaterDir_ = root_.path() / "updater";
    installDir_ = root_.path() / "My App";
    fs::create_directories(updaterDir_);
    fs::create_directories(installDir_);
    // The build ctest names, where a test preloads a library into the
    // updater, which the shipped static program would ignore.
    const char* program = std::getenv("UPDATE_TESTED_PROGRAM");
    fs::copy_file(HelperProgram(program ? program : "update"), updaterDir_ / ("update" + suffix_));
    appName_ = UniqueProgramName("app");
    zip_ = root_.path() / "new.zip";
  }

  // The updater's relaunches are not our children: they are stopped here.
  void TearDown() override {
    for (const AppRecord& record : AppRecords()) KillProcess(record.pid);
  }

  fs::path AppPath() const { return installDir_ / appName_; }

  // Installs version 1 of the application and starts it.
  std::uint32_t StartInstalledApp() {
    installedApp_ = StartFakeAppAs(installDir_, appName_);
    EXPECT_NE(installedApp_, nullptr);
    return installedApp_ ? installedApp_->id() : 0;
  }

  std::vector<AppRecord> AppRecords() const {
    std::vector<AppRecord> records;
    fs::path runs = AppPath();
    runs += ".run";
    std::istringstream in(WithLineFeeds(ReadFileBytes(runs)));
    for (AppRecord record; in >> record.version >> record.pid && std::getline(in, record.currentDir);) {
      record.currentDir.erase(0, 1);
      records.push_back(record);
    }
    return records;
  }

  // What the updater gave the application it started again last:
  // UPDATER_PID and UPDATER_LOG, as the stand-in application recorded them.
  std::pair<std::string, std::string> RelaunchVariables() const {
    std::istringstream records(WithLineFeeds(ReadFileBytes(AppPath().string() + ".env")));
    std::pair<std::string, std::string> last;
    for (std::string line; std::getline(records, line);) {
      last = {line.substr(0, line.find(' ')), line.substr(line.find(' ') + 1)};
    }
    return last;
  }

  // The archive of a new version: the application, a top-level file, the
  // updater's own program (never installed) and two subdirectories.
  void WriteNewVersionArchive() {
    WriteArchive(zip_.string(),
                 {Program("update/" + appName_, ReadFileBytes(HelperProgram("fake_app_v2"))),
                  File("update/readme.txt", "version 2\n"), File("update/update.exe", "not for installing"),
                  File("update/data/config.txt", "new config"), File("update/data/sub/deep.txt", "deep"),
                  File("update/lib/new.dll", "library")});
  }

  /// Runs the updater; its output is captured in files in `captureDir` (the
  /// test's directory when empty), so that runs at once need their own.
  RunResult Update(const std::vector<std::string>& args, const fs::path& captureDir = {}) {
    RunResult result =
        RunToEnd((updaterDir_ / ("update" + suffix_)).u8string(), args, captureDir.empty() ? root_.path() : captureDir);
    result.out = WithLineFeeds(result.out);
    result.err = WithLineFeeds(result.err);
    return result;
  }

  RunResult UpdateApp(const std::string& zip, const std::string& dstPath, const fs::path& captureDir = {}) {
    return Update({"--exeName", appName_, "--zipFile", zip, "--dstPath", dstPath}, captureDir);
  }

  std::string Joined(const std::string& dir, const std::string& name) const {
    return dir + platform::kPathSeparator + name;
  }

  // The whole log, listed as the updater lists folders: the C++ library's
  // listing does not reach a folder deeper than MAX_PATH on Windows.
  std::string LogText() const {
    std::string text;
    std::vector<platform::DirectoryEntry> files;
    platform::ListDirectory((updaterDir_ / "log").u8string(), files);
    for (const auto& file : files) text += ReadFileBytes(updaterDir_ / "log" / fs::u8path(file.name));
    return WithLineFeeds(text);
  }

  // Every entry appears, in this order, each as a whole stamped line.
  void ExpectLogInOrder(const std::vector<LogEntry>& entries) const {
    const std::string text = LogText();
    std::size_t from = 0;
    for (const LogEntry& entry : entries) {
      const std::string line = kLogOpen + entry.level + kLogClose + kDriverLogSource + " " +
                               std::to_string(entry.line) + " " + entry.message + "\n";
      const std::size_t at = text.find(line, from);
      ASSERT_NE(at, std::string::npos) << "missing or out of order: " << line << "\nlog:\n" << text;
      from = at + line.size();
    }
  }

  TempDir root_;
  std::string suffix_;
  fs::path updaterDir_;
  fs::path installDir_;
  std::string appName_;
  fs::path zip_;
  std::unique_ptr<ChildProcess> installedApp_;
};

}  // namespace update_e2e
