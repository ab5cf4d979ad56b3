// Why an extraction failed, in the log.
#include "UpGrade/extraction_report.h"

#include <algorithm>
#include <cstdint>

#include "UpGrade/failure_reasons.h"
#include "UpGrade/log_lines.h"
#include "log/log.h"

namespace {

// Whole MiB, held within what the log's format takes on every system.
unsigned long Mebibytes(std::uint64_t bytes, bool roundUp) {
  const std::uint64_t mebibytes = (bytes + (roundUp ? (1u << 20) - 1 : 0)) >> 20;
  return static_cast<unsigned long>(std::min<std::uint64_t>(mebibytes, 0xFFFFFFFFu));
}

}  // namespace

void LogExtractionFailure(const ExtractionFailure& failure, const std::string& errorText) {
  using Kind = ExtractionFailure::Kind;
  const std::string entry = LoggedEntryName(failure);
  switch (failure.kind) {
    case Kind::kRefusedEntry:
      LogFormatted(Error, kDriverLogSource, kEntryRefusedLine, "Entry Refused:%s, Reason:%s", entry.c_str(),
                   RefusalReason(failure).c_str());
      return;
    case Kind::kNoRoom:
      LogFormatted(Error, kDriverLogSource, kNoRoomLine, "Archive Needs:%lu MiB, Free:%lu MiB",
                   Mebibytes(failure.needed, /*roundUp=*/true), Mebibytes(failure.free, /*roundUp=*/false));
      return;
    case Kind::kDamagedEntry:
      LogFormatted(Error, kDriverLogSource, kEntryDamagedLine, "Entry Damaged:%s, error:%d", entry.c_str(),
                   failure.error);
      return;
    case Kind::kLargerThanRecorded:
      LogFormatted(Error, kDriverLogSource, kEntryTooLargeLine, "Entry Larger Than Recorded:%s", entry.c_str());
      return;
    case Kind::kNotWritten:
      LogFormatted(Error, kDriverLogSource, kEntryNotWrittenLine, "Entry Not Written:%s, error:%d", entry.c_str(),
                   failure.error);
      return;
    case Kind::kLinkInPlace:
      LogFormatted(Error, kDriverLogSource, kOwnNameLinkLine, "Link Where Own File Should Be:%s",
                   failure.entry.c_str());
      return;
    case Kind::kForeignFolder:
      LogFormatted(Error, kDriverLogSource, kForeignFolderLine, "Folder Not The Updater's Own:%s",
                   failure.entry.c_str());
      return;
    case Kind::kNone:
      break;
  }
  LogFormatted(Error, kDriverLogSource, kArchiveErrorLine, "Archive Error:%s",
               errorText.empty() ? "no entry could be read" : errorText.c_str());
}
