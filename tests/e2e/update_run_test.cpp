// The built updater driven end to end: real archives, a real running
// application, the exit code, the installed files and the log.
#include <chrono>
#include <ctime>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "UpGrade/log_lines.h"
#include "platform/file_system.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_programs.h"
#include "tests/zip/archive_builder.h"

namespace fs = std::filesystem;
using namespace testing_support;
using zip_testing::EntryRecipe;
using zip_testing::File;
using zip_testing::WriteArchive;

namespace {

const std::string kUsage =
    "usage: update.exe --exeName=string --zipFile=string --dstPath=string [options] ... filename ...\n"
    "options:\n"
    "  -e, --exeName    kill process name (string)\n"
    "  -z, --zipFile    extract zip name (string)\n"
    "  -d, --dstPath    dest copy file path (string)\n"
    "      --help       print this message\n";

const std::string kStartupLine = "\xBF\xAA\xCA\xBC\xB3\xF5\xCA\xBC\xBB\xAF" "AES\n";

// GBK level names as they stand in the log.
const std::string kInfo = "\xD0\xC5\xCF\xA2";
const std::string kWarning = "\xBE\xAF\xB8\xE6";
const std::string kError = "\xB4\xED\xCE\xF3";

struct LogEntry {
  std::string level;
  int line;
  std::string message;
};

// Every archive entry is stamped 3 July 2024, 10:05:08 local time.
constexpr int kStampYear = 2024, kStampMonth = 7, kStampDay = 3;
constexpr int kStampHour = 10, kStampMinute = 5, kStampSecond = 8;

// A program as an archive made on Unix stores it: executable.
EntryRecipe Program(const std::string& name, const std::string& data) {
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
std::string WithLineFeeds(const std::string& text) { return std::regex_replace(text, std::regex("\r\n"), "\n"); }

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
    const fs::path self = platform::ExecutablePath();
    suffix_ = self.extension().string();
    updaterDir_ = root_.path() / "updater";
    installDir_ = root_.path() / "My App";
    fs::create_directories(updaterDir_);
    fs::create_directories(installDir_);
    fs::copy_file(HelperProgram("update"), updaterDir_ / ("update" + suffix_));
    const fs::path zlib = self.parent_path() / "zlib1.dll";
    if (fs::exists(zlib)) fs::copy_file(zlib, updaterDir_ / "zlib1.dll");
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
    std::istringstream in(WithLineFeeds(ReadFileBytes(AppPath().string() + ".run")));
    for (AppRecord record; in >> record.version >> record.pid && std::getline(in, record.currentDir);) {
      record.currentDir.erase(0, 1);
      records.push_back(record);
    }
    return records;
  }

  // The archive of a new version: the application, a top-level file, the
  // updater's own program (never installed) and two subdirectories.
  void WriteNewVersionArchive() {
    WriteArchive(zip_.string(), {Program("update/" + appName_, ReadFileBytes(HelperProgram("fake_app_v2"))),
                                 File("update/readme.txt", "version 2\n"),
                                 File("update/update.exe", "not for installing"),
                                 File("update/data/config.txt", "new config"),
                                 File("update/data/sub/deep.txt", "deep"),
                                 File("update/lib/new.dll", "library")});
  }

  RunResult Update(const std::vector<std::string>& args) {
    RunResult result = RunToEnd((updaterDir_ / ("update" + suffix_)).string(), args, root_.path());
    result.out = WithLineFeeds(result.out);
    result.err = WithLineFeeds(result.err);
    return result;
  }

  RunResult UpdateApp(const std::string& zip, const std::string& dstPath) {
    return Update({"--exeName", appName_, "--zipFile", zip, "--dstPath", dstPath});
  }

  std::string Joined(const std::string& dir, const std::string& name) const {
    return dir + platform::kPathSeparator + name;
  }

  // The whole log.
  std::string LogText() const {
    std::string text;
    if (!fs::is_directory(updaterDir_ / "log")) return text;
    for (const auto& file : fs::directory_iterator(updaterDir_ / "log")) text += ReadFileBytes(file.path());
    return WithLineFeeds(text);
  }

  // Every entry appears, in this order, each as a whole stamped line.
  void ExpectLogInOrder(const std::vector<LogEntry>& entries) const {
    const std::string text = LogText();
    std::size_t from = 0;
    for (const LogEntry& entry : entries) {
      const std::string line = "\xA1\xBE" + entry.level + "\xA1\xBF" + kDriverLogSource + " " +
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

std::tm LocalWriteTime(const fs::path& file) {
  using namespace std::chrono;
  const auto age = fs::file_time_type::clock::now() - fs::last_write_time(file);
  const auto written = system_clock::now() - duration_cast<system_clock::duration>(age) + milliseconds(500);
  const std::time_t seconds = system_clock::to_time_t(written);
  return *std::localtime(&seconds);
}

}  // namespace

TEST_F(UpdateRun, BareStartAndHelpShowTheUsage) {
  RunResult bare = Update({});
  EXPECT_EQ(bare.exitCode, 1);
  EXPECT_EQ(bare.out, kStartupLine);
  EXPECT_EQ(bare.err, kUsage);
  ExpectLogInOrder({{kError, kUsageLine, "error:" + kUsage}});

  // --help wins over any other option, valid or not, and nothing else is reported.
  RunResult help = Update({"--exeName", "a.exe", "--help", "--bogus"});
  EXPECT_EQ(help.exitCode, 1);
  EXPECT_EQ(help.err, kUsage);
  EXPECT_EQ(LogText().find("bogus"), std::string::npos);
}

TEST_F(UpdateRun, ParseFailureShowsFirstErrorAndUsage) {
  RunResult result = Update({"--exeName", "a.exe", "--zipFile", "x.zip"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.err, "need option: --dstPath\n" + kUsage);
  // The first colon is the full-width one, GBK A3 BA.
  ExpectLogInOrder({{kError, kParseErrorLine, "error\xA3\xBAneed option: --dstPath cmd:" + kUsage}});
}

TEST_F(UpdateRun, MissingArchiveLeavesTheApplicationAlone) {
  const std::uint32_t pid = StartInstalledApp();
  for (const fs::path& zip : {root_.path() / "missing.zip", root_.path()}) {
    RunResult result = UpdateApp(zip.string(), installDir_.string());
    EXPECT_EQ(result.exitCode, 0);
    ExpectLogInOrder({{kInfo, kZipFileLine, "ZipFile:" + zip.string()},
                      {kWarning, kNoArchiveLine, "Update File Is Not Exist:" + zip.string()},
                      {kInfo, kSuccessLine, "Update App Success!"}});
  }
  EXPECT_TRUE(IsAlive(pid));
  EXPECT_EQ(AppRecords().size(), 1u);
  EXPECT_FALSE(fs::exists(installDir_ / "temp"));
}

TEST_F(UpdateRun, FullUpdateInstallsAndRelaunches) {
  const std::uint32_t oldPid = StartInstalledApp();
  WriteFileBytes(installDir_ / "data" / "old.txt", "kept");
  WriteFileBytes(installDir_ / "data" / "config.txt", "old config");
  WriteNewVersionArchive();

  // Quotes around the archive and the installation are removed before use.
  const std::string install = installDir_.string();
  RunResult result = UpdateApp("\"" + zip_.string() + "\"", "\"" + install + "\"");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, kStartupLine);

  EXPECT_TRUE(WaitFor([&] { return !IsAlive(oldPid); }));
  EXPECT_EQ(ReadFileBytes(AppPath()), ReadFileBytes(HelperProgram("fake_app_v2")));
  EXPECT_EQ(ReadFileBytes(installDir_ / "readme.txt"), "version 2\n");
  EXPECT_FALSE(fs::exists(installDir_ / "update.exe"));
  EXPECT_EQ(ReadFileBytes(installDir_ / "data" / "config.txt"), "new config");
  EXPECT_EQ(ReadFileBytes(installDir_ / "data" / "old.txt"), "kept");
  EXPECT_EQ(ReadFileBytes(installDir_ / "data" / "sub" / "deep.txt"), "deep");
  EXPECT_EQ(ReadFileBytes(installDir_ / "lib" / "new.dll"), "library");
  // Subdirectories were moved in, top-level files copied out of the work directory.
  EXPECT_FALSE(fs::exists(installDir_ / "temp" / "update" / "data"));
  EXPECT_TRUE(fs::exists(installDir_ / "temp" / "update" / "readme.txt"));

  for (const fs::path& file : {installDir_ / "readme.txt", installDir_ / "data" / "config.txt"}) {
    const std::tm stamp = LocalWriteTime(file);
    EXPECT_EQ(stamp.tm_year + 1900, kStampYear) << file;
    EXPECT_EQ(stamp.tm_mon + 1, kStampMonth) << file;
    EXPECT_EQ(stamp.tm_mday, kStampDay) << file;
    EXPECT_EQ(stamp.tm_hour, kStampHour) << file;
    EXPECT_EQ(stamp.tm_min, kStampMinute) << file;
    EXPECT_EQ(stamp.tm_sec, kStampSecond) << file;
  }

  // The new version runs from the installation, in the updater's directory.
  ASSERT_TRUE(WaitFor([&] { return AppRecords().size() == 2; }));
  const AppRecord relaunched = AppRecords().back();
  EXPECT_EQ(relaunched.version, 2);
  EXPECT_TRUE(IsAlive(relaunched.pid));
  EXPECT_TRUE(fs::equivalent(relaunched.currentDir, updaterDir_)) << relaunched.currentDir;

  const std::string exePath = Joined(install, appName_);
  ExpectLogInOrder({{kInfo, kExeNameLine, "ExeName:" + appName_},
                    {kInfo, kZipFileLine, "ZipFile:" + zip_.string()},
                    {kInfo, kDstPathLine, "DstPath:" + install},
                    {kInfo, kClearLine, "Clear History File Ret:0"},
                    {kInfo, kStopLine, "Stop Process Ret:1"}});
  const std::string relaunch = " " + std::to_string(kRelaunchLine) + " Run " + exePath + " GetLastError = ";
  EXPECT_NE(LogText().find(relaunch), std::string::npos);
  ExpectLogInOrder({{kInfo, kSuccessLine, "Update App Success!"}});

  // The next update clears what the last one left in the work directory.
  RunResult again = UpdateApp(zip_.string(), install);
  EXPECT_EQ(again.exitCode, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsAlive(relaunched.pid); }));
  ExpectLogInOrder({{kInfo, kSuccessLine, "Update App Success!"},
                    {kInfo, kClearLine, "Clear History File Ret:1"},
                    {kInfo, kStopLine, "Stop Process Ret:1"},
                    {kInfo, kSuccessLine, "Update App Success!"}});
  EXPECT_TRUE(WaitFor([&] { return AppRecords().size() == 3; }));
}

TEST_F(UpdateRun, ArchiveWithoutUpdateFolderStopsButDoesNotInstall) {
  const std::uint32_t pid = StartInstalledApp();
  WriteArchive(zip_.string(), {File("other/readme.txt", "misplaced")});
  RunResult result = UpdateApp(zip_.string(), installDir_.string());
  EXPECT_EQ(result.exitCode, 4);
  const std::string install = installDir_.string();
  ExpectLogInOrder({{kInfo, kStopLine, "Stop Process Ret:1"},
                    {kError, kCopyLine, "Copy Files Source:" + Joined(Joined(install, "temp"), "update") +
                                      ", Target:" + install}});
  EXPECT_TRUE(WaitFor([&] { return !IsAlive(pid); }));
  EXPECT_EQ(AppRecords().size(), 1u);
  EXPECT_EQ(LogText().find("Update App Success!"), std::string::npos);
}

TEST_F(UpdateRun, BadArchivesFailExtractionWithoutTouchingAnything) {
  const std::uint32_t pid = StartInstalledApp();

  std::string damaged;
  {
    WriteArchive(zip_.string(), {File("update/big.txt", std::string(4000, 'a') + "tail")});
    damaged = ReadFileBytes(zip_);
    // The deflated data starts after the 30-byte local header and the name.
    damaged[30 + std::string("update/big.txt").size() + 4] ^= 0x55;
  }
  std::string escaping;
  {
    WriteArchive(zip_.string(), {File("update/ok.txt", "ok"), File("update/../../../evil.txt", "evil")});
    escaping = ReadFileBytes(zip_);
  }
  const std::vector<std::string> archives = {"this is not a zip archive", damaged, escaping};
  for (const std::string& bytes : archives) {
    WriteFileBytes(zip_, bytes);
    RunResult result = UpdateApp(zip_.string(), installDir_.string());
    EXPECT_EQ(result.exitCode, 3);
  }
  ExpectLogInOrder({{kInfo, kExtractLine, "Extract File Ret:0"},
                    {kInfo, kExtractLine, "Extract File Ret:0"},
                    {kInfo, kExtractLine, "Extract File Ret:0"}});
  EXPECT_EQ(LogText().find("Stop Process Ret"), std::string::npos);
  EXPECT_TRUE(IsAlive(pid));
  EXPECT_FALSE(fs::exists(root_.path() / "evil.txt"));
  EXPECT_FALSE(fs::exists(installDir_ / "evil.txt"));
  EXPECT_FALSE(fs::exists(installDir_ / "temp" / "update" / "ok.txt"));
}

TEST_F(UpdateRun, ApplicationNotRunningAndRelaunchFailing) {
  // Nothing of that name runs, and the archive does not bring the program.
  WriteArchive(zip_.string(), {File("update/readme.txt", "version 2\n")});
  RunResult result = UpdateApp(zip_.string(), installDir_.string());
  EXPECT_EQ(result.exitCode, 0);
  ExpectLogInOrder({{kInfo, kStopLine, "Stop Process Ret:0"}});
  const std::string exePattern = std::regex_replace(Joined(installDir_.string(), appName_),
                                                    std::regex(R"([\\^$.|?*+()\[\]{}])"), R"(\$&)");
  const std::regex relaunchFailed(" " + std::to_string(kRelaunchLine) + " Run " + exePattern +
                                  " GetLastError = [1-9][0-9]*\n");
  EXPECT_TRUE(std::regex_search(LogText(), relaunchFailed)) << LogText();
  ExpectLogInOrder({{kInfo, kSuccessLine, "Update App Success!"}});
  EXPECT_EQ(ReadFileBytes(installDir_ / "readme.txt"), "version 2\n");
}
