// The update run: reads the options, then extracts, stops, installs and relaunches.
#include "UpGrade/update.h"

#include <chrono>
#include <exception>
#include <iostream>
#include <memory>
#include <thread>
#include <vector>

#include "UpGrade/file_operations.h"
#include "UpGrade/install_checks.h"
#include "UpGrade/install_steps.h"
#include "UpGrade/process_operations.h"
#include "cmdline/parser.h"
#include "platform/file_system.h"
#include "platform/shell.h"
#include "platform/system_error.h"
#include "util/log.h"
#include "util/module_context.h"
#include "util/process_control.h"
#include "zip/zip_reader.h"

namespace {

constexpr const char kSourceFile[] = "UpGrade/update";

enum ExitCode { kDone = 0, kUsageShown = 1, kBadCommandLine = 2, kExtractFailed = 3, kInstallFailed = 4 };

// Each message has a fixed line number that readers of old logs know it by.
enum MessageLine {
  kUsageLine = 175,
  kParseErrorLine = 181,
  kExeNameLine = 189,
  kZipFileLine = 190,
  kDstPathLine = 191,
  kClearLine = 200,
  kExtractLine = 206,
  kStopLine = 211,
  kCopyLine = 227,
  kRelaunchLine = 232,
  kNoArchiveLine = 236,
  kSuccessLine = 242,
};

constexpr int kWaitPolls = 10;

void RegisterOptions(cmdline::parser& options) {
  options.register_value_option<std::string>("exeName", 'e', "kill process name", true, "");
  options.register_value_option<std::string>("zipFile", 'z', "extract zip name", true, "");
  options.register_value_option<std::string>("dstPath", 'd', "dest copy file path", true, "");
  options.register_flag("help", '\0', "print this message");
  options.set_usage_footer("filename ...");
  options.set_usage_name("update.exe");
}

// Clears the work directory and extracts the archive into it. The reader is
// handed back to live until the run ends, the archive's listing too; an
// exception from the archive or from a directory listing counts as a failed
// extraction, and so does an entry that would take a name the install owns.
bool ExtractArchive(const std::string& zipFile, const std::string& workDir,
                    std::unique_ptr<ZipReader>& reader, std::vector<ArchiveEntry>& entries) {
  try {
    LogFormatted(Info, kSourceFile, kClearLine, "Clear History File Ret:%d", ClearDirectory(workDir) ? 1 : 0);
    reader = std::make_unique<ZipReader>(zipFile, "");
    entries = reader->listEntries();
    return !TakesReservedName(entries) && reader->extractAll(workDir);
  } catch (const std::exception&) {
    return false;
  }
}

void LogCopyFailed(const std::string& updateDir, const std::string& dstPath) {
  LogFormatted(Error, kSourceFile, kCopyLine, "Copy Files Source:%s, Target:%s", updateDir.c_str(), dstPath.c_str());
}

void WaitUntilStopped(const std::string& exeName) {
  for (int poll = 0; poll < kWaitPolls; ++poll) {
    if (!IsProcessRunning(exeName)) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
  }
}

}  // namespace

std::string Trim(const std::string& input, const std::string& stripChars) {
  const std::size_t first = input.find_first_not_of(stripChars);
  if (first == std::string::npos) return {};
  const std::size_t last = input.find_last_not_of(stripChars);
  return input.substr(first, last - first + 1);
}

int RunUpdate(int argc, char* argv[]) {
  InitModuleContext();

  cmdline::parser options;
  RegisterOptions(options);
  const bool parsed = options.parse_arguments(argc, argv);

  if (argc == 1 || options.option_given("help")) {
    const std::string usage = options.usage_text();
    std::cerr << usage;
    LogFormatted(Error, kSourceFile, kUsageLine, "error:%s", usage.c_str());
    return kUsageShown;
  }
  if (!parsed) {
    const std::string error = options.first_error();
    const std::string usage = options.usage_text();
    std::cerr << error << std::endl << usage;
    // The first colon is the full-width one, GBK A3 BA.
    LogFormatted(Error, kSourceFile, kParseErrorLine, "error\xA3\xBA%s cmd:%s", error.c_str(), usage.c_str());
    return kBadCommandLine;
  }

  const std::string exeName = options.value_of<std::string>("exeName");
  const std::string zipFile = Trim(options.value_of<std::string>("zipFile"), "\"");
  const std::string dstPath = Trim(options.value_of<std::string>("dstPath"), "\"");
  LogFormatted(Info, kSourceFile, kExeNameLine, "ExeName:%s", exeName.c_str());
  LogFormatted(Info, kSourceFile, kZipFileLine, "ZipFile:%s", zipFile.c_str());
  LogFormatted(Info, kSourceFile, kDstPathLine, "DstPath:%s", dstPath.c_str());

  const std::string separator = platform::kPathSeparator;
  const std::string workDir = dstPath + separator + "temp";
  const std::string exePath = dstPath + separator + exeName;

  const std::string updateDir = workDir + separator + "update";

  // Held to the end of the run: one run per installation at a time.
  const bool archivePresent = FileExists(zipFile);
  std::unique_ptr<platform::InstallLock> lock;
  if (platform::IsExistingDirectory(dstPath) && !TakeInstallation(dstPath, workDir, archivePresent, lock)) {
    return kInstallFailed;
  }

  if (!archivePresent) {
    LogFormatted(Warning, kSourceFile, kNoArchiveLine, "Update File Is Not Exist:%s", zipFile.c_str());
  } else {
    std::unique_ptr<ZipReader> reader;
    std::vector<ArchiveEntry> entries;
    if (!ExtractArchive(zipFile, workDir, reader, entries)) {
      LogFormatted(Info, kSourceFile, kExtractLine, "Extract File Ret:%d", 0);
      return kExtractFailed;
    }

    // What fails now must not cost the application its run.
    if (!ReadyToInstall(entries, dstPath)) {
      LogCopyFailed(updateDir, dstPath);
      return kInstallFailed;
    }

    LogFormatted(Info, kSourceFile, kStopLine, "Stop Process Ret:%d", KillProcessByName(exeName) ? 1 : 0);
    WaitUntilStopped(exeName);

    if (!InstallUpdate(updateDir, dstPath, workDir)) {
      LogCopyFailed(updateDir, dstPath);
      return kInstallFailed;
    }

    // No working directory is given: the application starts in the
    // updater's own directory, made current at start-up.
    platform::OpenWithShell(exePath);
    LogFormatted(Info, kSourceFile, kRelaunchLine, "Run %s GetLastError = %d", exePath.c_str(), platform::LastSystemError());
  }

  LogFormatted(Info, kSourceFile, kSuccessLine, "Update App Success!");
  return kDone;
}
