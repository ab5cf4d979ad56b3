// The fixed log lines, stated as readers of old logs know them. The other
// tests read the table, so only this one can catch a number that changed.
#include "UpGrade/log_lines.h"

#include <gtest/gtest.h>

TEST(DriverLogLines, KeepTheNumbersReadersKnow) {
  EXPECT_STREQ(kDriverLogSource, "UpGrade/update");
  const struct {
    DriverLogLine line;
    int known;
  } lines[] = {
      {kCopyFailedLine, 149},
      {kUsageLine, 175},
      {kParseErrorLine, 181},
      {kExeNameLine, 189},
      {kZipFileLine, 190},
      {kDstPathLine, 191},
      {kClearLine, 200},
      {kExtractLine, 206},
      {kStopLine, 211},
      {kCopyLine, 227},
      {kRelaunchLine, 232},
      {kNoArchiveLine, 236},
      {kSuccessLine, 242},
      // The install's own, chosen among numbers no described message uses.
      {kLockTimeoutLine, 194},
      {kRecoveredLine, 196},
      {kRecoveryFailedLine, 197},
      {kCompletedLine, 221},
      {kNoUpdateEntriesLine, 208},
      {kNotWritableLine, 209},
      {kAsideFailedLine, 215},
      {kRestoredLine, 229},
      {kLockWaitLine, 195},
      {kFolderBecomingFileLine, 210},
      {kOwnFileLine, 212},
      {kForcedEndLine, 222},
      {kRelaunchFolderLine, 223},
      {kTooDeepLine, 224},
      {kWaitedLine, 214},
      // The reasons of refusals and failures.
      {kWorkDirLinkLine, 198},
      {kArchiveErrorLine, 201},
      {kEntryRefusedLine, 202},
      {kNoRoomLine, 203},
      {kEntryDamagedLine, 204},
      {kEntryTooLargeLine, 205},
      {kEntryNotWrittenLine, 207},
      {kInstallStepLine, 216},
      {kMoveInFailedLine, 217},
      {kSignatureRefusedLine, 213},
      {kJournalUntrustedLine, 192},
      {kLockRefusedLine, 193},
      {kUndoStepLine, 199},
      {kUndoCountLine, 225},
      {kFolderChangedLine, 226},
      {kOwnNameLinkLine, 220},
      {kForeignFolderLine, 228},
  };
  for (const auto& entry : lines) EXPECT_EQ(static_cast<int>(entry.line), entry.known);
}
