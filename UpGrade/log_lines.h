// The driver's fixed log lines: the source-file name and the line number that
// each message of the update run and of the tree copy is logged under.
#pragma once

/// The source-file name every line of the run and of the tree copy carries.
/// It names the file the driver lives in, and readers of the log know it.
constexpr const char kDriverLogSource[] = "UpGrade/update";

/// Readers of old logs know each message by its number ("UpGrade/update 211
/// Stop Process Ret:1"), so a number stays fixed whatever the code around
/// the call becomes. Each comment gives the message's format.
enum DriverLogLine : int {
  kCopyFailedLine = 149,      ///< "source:%s, dist:%s, error:%d": a file the tree copy could not replace
  kUsageLine = 175,           ///< "error:%s": the usage text
  kParseErrorLine = 181,      ///< "error\xA3\xBA%s cmd:%s": the first parse error and the usage text
  kExeNameLine = 189,         ///< "ExeName:%s"
  kZipFileLine = 190,         ///< "ZipFile:%s"
  kDstPathLine = 191,         ///< "DstPath:%s"
  kLockTimeoutLine = 194,     ///< "Another Update Holds The Installation:%s": waited ten minutes in vain
  kRecoveredLine = 196,       ///< "Unfinished Update Rolled Back, Restored:%d": a cut-off run's install undone
  kRecoveryFailedLine = 197,  ///< "Unfinished Update Not Rolled Back, Restored:%d, Journal Kept In:%s"
  kClearLine = 200,           ///< "Clear History File Ret:%d"
  kExtractLine = 206,         ///< "Extract File Ret:%d"
  kNoUpdateEntriesLine = 208, ///< "No Entry Below update/ In The Archive": nothing is stopped
  kNotWritableLine = 209,     ///< "Installation Not Writable:%s error:%d": nothing is stopped
  kStopLine = 211,            ///< "Stop Process Ret:%d"
  kAsideFailedLine = 215,     ///< "Move Aside Source:%s, Backup:%s, error:%d": a target the install could not move aside
  kCopyLine = 227,            ///< "Copy Files Source:%s, Target:%s"
  kRestoredLine = 229,        ///< "Old Version Restored:%d, Files Moved Back:%d": after a failed install
  kRelaunchLine = 232,        ///< "Run %s GetLastError = %d"
  kNoArchiveLine = 236,       ///< "Update File Is Not Exist:%s"
  kSuccessLine = 242,         ///< "Update App Success!"
};
