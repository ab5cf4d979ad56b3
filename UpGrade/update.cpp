// The update run: reads the options, then extracts, stops, installs and relaunches.
#include "UpGrade/update.h"

#include <exception>
#include <iostream>
#include <memory>
#include <vector>

#include "UpGrade/extraction_report.h"
#include "UpGrade/file_operations.h"
#include "UpGrade/install_phases.h"
#include "UpGrade/log_lines.h"
#include "UpGrade/process_operations.h"
#include "UpGrade/signature_phase.h"
#include "cmdline/parser.h"
#include "install/install.h"
#include "log/log.h"
#include "log/log_format.h"
#include "platform/entry_type.h"
#include "platform/file_system.h"
#include "platform/open_files.h"
#include "platform/output_text.h"
#include "platform/process.h"
#include "platform/shell.h"
#include "platform/system_error.h"
#include "util/module_context.h"
#include "zip/zip_reader.h"

namespace {

enum ExitCode { kDone = 0, kUsageShown = 1, kBadCommandLine = 2, kExtractFailed = 3, kInstallFailed = 4 };

void RegisterOptions(cmdline::parser& options) {
  options.register_value_option<std::string>("exeName", 'e', "kill process name", true, "");
  options.register_value_option<std::string>("zipFile", 'z', "extract zip name", true, "");
  options.register_value_option<std::string>("dstPath", 'd', "dest copy file path", true, "");
  options.register_flag("help", '\0', "print this message");
  options.set_usage_footer("filename ...");
  options.set_usage_name("update.exe");
}

// Opens the archive, clears the work directory and extracts the archive into
// it. The reader is handed back to live until the run ends, the archive's
// listing too; an exception from the archive or from a directory listing
// counts as a failed extraction, and so does an entry that would take a name
// the install owns. Every failure logs why. The archive is opened before the
// clear, which never deletes it, so that one kept in the work directory, even
// behind a link the clear removes, is read. It is read from `readFrom`: the
// archive itself, or what its signature check holds.
bool ExtractArchive(const std::string& zipFile, const std::string& readFrom, const std::string& dstPath,
                    const std::string& workDir, std::unique_ptr<ZipReader>& reader,
                    std::vector<ArchiveEntry>& entries) {
  std::string openError;
  try {
    reader = std::make_unique<ZipReader>(readFrom, "");
  } catch (const std::exception& error) {
    // Reported after the clear, which is logged first as always.
    openError = error.what();
  }
  try {
    const WorkClear clear = ClearWorkDirectory(workDir, zipFile);
    LogHeldWaits();
    LogFormatted(Info, kDriverLogSource, kClearLine, "Clear History File Ret:%d", clear.listed ? 1 : 0);
    if (!reader) {
      LogFormatted(Error, kDriverLogSource, kArchiveErrorLine, "Archive Error:%s", openError.c_str());
      return false;
    }
    // A linked work directory that the clear could not remove would lead
    // the extraction out of the installation.
    if (platform::IsLink(workDir)) {
      LogFormatted(Error, kDriverLogSource, kWorkDirLinkLine, "Work Folder Is A Link:%s", workDir.c_str());
      return false;
    }
    const std::string updateDir = workDir + platform::kPathSeparator + kUpdateDirName;
    if (clear.linked) LogOwnNameLink(updateDir);
    if (!clear.updateMade && !clear.linked) {
      LogFormatted(Error, kDriverLogSource, kEntryNotWrittenLine, "Entry Not Written:%s, error:%d", updateDir.c_str(),
                   clear.error);
    }
    if (!clear.updateMade) return false;
    // The update folder is what lands in the installation: a link leading
    // out of it would lead out of the installation there.
    reader->setInstalledFolder(kUpdateDirName);
    entries = reader->listEntries();
    if (const ArchiveEntry* reserved = EntryTakingReservedName(entries, dstPath)) {
      LogExtractionFailure(ExtractionFailure::refused(reserved->entryName, EntryRefusal::kReservedName), {});
      return false;
    }
    if (reader->extractAll(workDir)) return true;
    LogExtractionFailure(reader->lastFailure(), {});
  } catch (const std::exception& error) {
    LogExtractionFailure(reader ? reader->lastFailure() : ExtractionFailure{}, error.what());
  }
  return false;
}

// Writes the command-line error and the usage to standard error and logs
// them at the parse error's line.
void ReportCommandLineError(const std::string& error, const std::string& usage) {
  // The error may quote an argument, which is escaped; the usage's lines are
  // the program's own. The first colon is the full-width one, a fixed word of the log.
  const std::string shownError = EscapedText(error);
  std::cerr << platform::OutputText(shownError) << std::endl << usage;
  const std::string message = "error" + platform::FixedOutputText(u8"：") + shownError + " cmd:" + usage;
  LogWrite(Error, kDriverLogSource, kParseErrorLine, message.c_str());
}

void LogCopyFailed(const std::string& updateDir, const std::string& dstPath) {
  LogFormatted(Error, kDriverLogSource, kCopyLine, "Copy Files Source:%s, Target:%s", updateDir.c_str(),
               dstPath.c_str());
}

}  // namespace

std::string DestinationError(const std::string& dstPath) {
  if (!dstPath.empty() && platform::IsExistingDirectory(dstPath)) return {};
  return "not an existing directory: --dstPath=" + dstPath;
}

std::string Trim(const std::string& input, const std::string& stripChars) {
  const std::size_t first = input.find_first_not_of(stripChars);
  if (first == std::string::npos) return {};
  const std::size_t last = input.find_last_not_of(stripChars);
  return input.substr(first, last - first + 1);
}

int RunUpdate(int argc, char* argv[]) {
  InitModuleContext();
  // A deep tree holds a folder open for each level, the recovery's and the
  // install's alike; the application started again gets the limit back.
  auto openFiles = std::make_unique<platform::OpenFilesRaised>();

  cmdline::parser options;
  RegisterOptions(options);
  const bool parsed = options.parse_arguments(argc, argv);

  if (argc == 1 || options.option_given("help")) {
    const std::string usage = options.usage_text();
    std::cerr << usage;
    LogWrite(Error, kDriverLogSource, kUsageLine, ("error:" + usage).c_str());
    return kUsageShown;
  }
  if (!parsed) {
    ReportCommandLineError(options.first_error(), options.usage_text());
    return kBadCommandLine;
  }

  const std::string exeName = options.value_of<std::string>("exeName");
  const std::string zipFile = Trim(options.value_of<std::string>("zipFile"), "\"");
  const std::string dstPath = Trim(options.value_of<std::string>("dstPath"), "\"");
  LogFormatted(Info, kDriverLogSource, kExeNameLine, "ExeName:%s", exeName.c_str());
  LogFormatted(Info, kDriverLogSource, kZipFileLine, "ZipFile:%s", zipFile.c_str());
  LogFormatted(Info, kDriverLogSource, kDstPathLine, "DstPath:%s", dstPath.c_str());

  const std::string separator = platform::kPathSeparator;
  const std::string workDir = dstPath + separator + kWorkDirName;
  const std::string exePath = dstPath + separator + exeName;
  const std::string updateDir = workDir + separator + kUpdateDirName;

  // Held to the end of the run: one run per installation at a time. A run
  // without its archive that finds the lock held goes on without recovery,
  // touching nothing; no run goes on without the lock otherwise.
  const bool archivePresent = FileExists(zipFile);
  std::unique_ptr<platform::InstallLock> lock;
  if (platform::IsExistingDirectory(dstPath)) {
    lock = LockInstallation(dstPath, archivePresent);
    if (!lock->held() && (archivePresent || !lock->busy())) return kInstallFailed;
    if (lock->held() && !RecoverUnfinishedInstall(dstPath, workDir)) return kInstallFailed;
  }

  if (!archivePresent) {
    LogFormatted(Warning, kDriverLogSource, kNoArchiveLine, "Update File Is Not Exist:%s", zipFile.c_str());
  } else {
    // An empty or mistyped destination would become a new installation at
    // the root of the drive or beside the real one, while the real
    // application is stopped: refused before anything is written or stopped.
    const std::string destinationError = DestinationError(dstPath);
    if (!destinationError.empty()) {
      ReportCommandLineError(destinationError, options.usage_text());
      return kBadCommandLine;
    }
    // With the vendor's key beside the updater, only the vendor's archive,
    // held from the check on as it was checked.
    SignedArchive signedArchive;
    if (!SignatureAllowsArchive(zipFile, dstPath, signedArchive)) return kExtractFailed;
    const std::string readFrom = signedArchive.held ? signedArchive.held->readPath() : zipFile;
    std::unique_ptr<ZipReader> reader;
    std::vector<ArchiveEntry> entries;
    if (!ExtractArchive(zipFile, readFrom, dstPath, workDir, reader, entries) ||
        !RecordSigningTime(signedArchive, updateDir)) {
      LogFormatted(Info, kDriverLogSource, kExtractLine, "Extract File Ret:%d", 0);
      return kExtractFailed;
    }
    // Read while every installed file is still in its place.
    KeepInstalledModes(entries, workDir, dstPath);

    // What fails now must not cost the application its run.
    if (!ReadyToInstall(entries, dstPath, openFiles->allowed())) {
      LogCopyFailed(updateDir, dstPath);
      return kInstallFailed;
    }
    LogUpdaterOwnFiles(entries);
    // The listing is done with; for a large archive it holds megabytes.
    entries = {};

    // Only this installation's application: a program of the same name
    // elsewhere (another installation, another product) keeps running.
    LogFormatted(Info, kDriverLogSource, kStopLine, "Stop Process Ret:%d",
                 StopInstalledApplication(exeName, dstPath) ? 1 : 0);
    EnsureInstalledApplicationStopped(exeName, dstPath);

    if (!InstallUpdate(updateDir, dstPath, workDir, reader->madeLinks())) {
      LogCopyFailed(updateDir, dstPath);
      return kInstallFailed;
    }

    // No working directory is given: the application starts in the
    // updater's own directory, made current at start-up, or where the
    // updater was started when the system could not make its folder current.
    // This run writes its last lines after the start: the application
    // learns which process to wait for and where those lines go.
    openFiles.reset();
    if (const int error = ModuleDirNotCurrentError()) {
      LogFormatted(Warning, kDriverLogSource, kRelaunchFolderLine,
                   "Relaunch Folder Not The Updater's:%s, Started In:%s, error:%d", ModuleDir.c_str(),
                   platform::CurrentDir().value.c_str(), error);
    }
    platform::OpenWithShell(
        exePath, {{"UPDATER_PID", std::to_string(platform::CurrentProcessId())}, {"UPDATER_LOG", LogFilePath()}});
    LogFormatted(Info, kDriverLogSource, kRelaunchLine, "Run %s GetLastError = %d", exePath.c_str(),
                 platform::LastSystemError());
  }

  LogFormatted(Info, kDriverLogSource, kSuccessLine, "Update App Success!");
  return kDone;
}
