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
  kCopyFailedLine = 149,        ///< "source:%s, dist:%s, error:%d": a file the tree copy could not replace
  kUsageLine = 175,             ///< "error:%s": the usage text
  kParseErrorLine = 181,        ///< "error：%s cmd:%s": the first parse error and the usage text
  kExeNameLine = 189,           ///< "ExeName:%s"
  kZipFileLine = 190,           ///< "ZipFile:%s"
  kDstPathLine = 191,           ///< "DstPath:%s"
  kJournalUntrustedLine = 192,  ///< "Journal Not Trusted:%s, Reason:%s, error:%d": nothing in it is acted on
  kLockRefusedLine = 193,       ///< "Installation Lock Refused:%s, error:%d": the run ends before the clear
  kLockTimeoutLine = 194,       ///< "Another Update Holds The Installation:%s": waited ten minutes in vain
  kLockWaitLine = 195,          ///< "Waiting For Another Update:%s": another run holds the installation; this one waits
  kRecoveredLine = 196,         ///< "Unfinished Update Rolled Back, Restored:%d": a cut-off run's install undone
  kRecoveryFailedLine = 197,    ///< "Unfinished Update Not Rolled Back, Restored:%d, Journal Kept In:%s, Blocked By:%s"
  kWorkDirLinkLine = 198,       ///< "Work Folder Is A Link:%s": the clear could not replace it; nothing is extracted
  kUndoStepLine = 199,          ///< "Undo Failed At:%s, Path:%s, error:%d": one step of an undo or a recovery
  kClearLine = 200,             ///< "Clear History File Ret:%d"
  kArchiveErrorLine = 201,     ///< "Archive Error:%s": what the reader raised (not an archive, an entry it cannot open)
  kEntryRefusedLine = 202,     ///< "Entry Refused:%s, Reason:%s": an entry that may not be written
  kNoRoomLine = 203,           ///< "Archive Needs:%lu MiB, Free:%lu MiB": the reserve of 64 MiB included
  kEntryDamagedLine = 204,     ///< "Entry Damaged:%s, error:%d": its data does not read back (the library's code)
  kEntryTooLargeLine = 205,    ///< "Entry Larger Than Recorded:%s": more data than its recorded size
  kExtractLine = 206,          ///< "Extract File Ret:%d"
  kEntryNotWrittenLine = 207,  ///< "Entry Not Written:%s, error:%d": a file or folder the system refused
  kNoUpdateEntriesLine = 208,  ///< "No Entry Below update/ In The Archive": nothing is stopped
  kNotWritableLine = 209,      ///< "Installation Not Writable:%s error:%d": nothing is stopped
  kFolderBecomingFileLine = 210,  ///< "Folder Would Become A File:%s, Holds:%s": nothing is stopped
  kStopLine = 211,                ///< "Stop Process Ret:%d"
  kOwnFileLine = 212,             ///< "Updater's Own File Not Installed:%s": an entry the install skips
  kSignatureRefusedLine = 213,    ///< "Signature Refused:%s, Reason:%s": the file to blame; nothing touched
  kWaitedLine = 214,              ///< "Waited For Held File:%s, error:%d, Waited:%u ms": another program held it
  kAsideFailedLine = 215,    ///< "Move Aside Source:%s, Backup:%s, error:%d": a target the install could not move aside
  kInstallStepLine = 216,    ///< "Install Failed At:%s, Path:%s, error:%d": the step (plan, backup folder, journal)
  kMoveInFailedLine = 217,   ///< "Move In Source:%s, Target:%s, error:%d": what the placing could not move in
  kKeptLine = 218,           ///< "Not Placed By The Update, Kept:%s": found in a folder an undone install placed
  kSwappedFolderLine = 219,  ///< "Folder Swapped Since The Plan:%s": written through by nothing; the install is undone
  kOwnNameLinkLine = 220,    ///< "Link Where Own File Should Be:%s": never followed; the run ends
  kCompletedLine = 221,  ///< "Unfinished Update Completed": a cut-off run's committed install, its backups discarded
  kForcedEndLine = 222,  ///< "Process Ended By Force:%d": the stop ended it, still there at the fifth poll
  /// "Relaunch Folder Not The Updater's:%s, Started In:%s, error:%d": its folder too long to be current
  kRelaunchFolderLine = 223,
  /// "Tree Too Deep:%s, Levels:%d, Open Files Allowed:%d": the deepest entry; nothing is stopped
  kTooDeepLine = 224,
  kUndoCountLine = 225,      ///< "Undo Failures Not Listed:%d": beyond the first twenty lines 199
  kFolderChangedLine = 226,  ///< "Folder Changed Since The Install:%s, Recorded Link:%s": recovery writes nothing there
  kCopyLine = 227,           ///< "Copy Files Source:%s, Target:%s"
  kForeignFolderLine = 228,  ///< "Folder Not The Updater's Own:%s": another user's update folder; nothing is extracted
  kRestoredLine = 229,       ///< "Old Version Restored:%d, Files Moved Back:%d": after a failed install
  kRelaunchLine = 232,       ///< "Run %s GetLastError = %d"
  kNoArchiveLine = 236,      ///< "Update File Is Not Exist:%s"
  kSuccessLine = 242,        ///< "Update App Success!"
};

/// Reserved for the lines this round of work brings, so that work done side
/// by side never takes one number twice. Each moves into the table above,
/// with its final text, when the code that logs it lands. None is now.
enum ReservedLogLine : int {};
