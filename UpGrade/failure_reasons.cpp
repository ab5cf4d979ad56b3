// The words the log gives each cause the engine reports: one table for the
// refused entries, one for the install's steps. Tests and readers of the log
// know these texts: they stay exact.
#include "UpGrade/failure_reasons.h"

#include "log/log_format.h"

namespace {

const char* RefusalText(EntryRefusal refusal) {
  switch (refusal) {
    case EntryRefusal::kNone:
      return "";
    case EntryRefusal::kOutsideDestination:
      return "outside the destination";
    case EntryRefusal::kDeviceName:
      return "a device name";
    case EntryRefusal::kColonInName:
      return "a colon inside the name";
    case EntryRefusal::kNulInName:
      return "a NUL inside the name";
    case EntryRefusal::kNotUtf8:
      return "flagged as UTF-8 but not UTF-8";
    case EntryRefusal::kEndsInDotOrBlank:
      return "a name ending in a dot or a blank";
    case EntryRefusal::kNameTooLong:
      return "a name longer than the system takes";
    case EntryRefusal::kSamePath:
      return "the same path as ";  // the earlier entry follows
    case EntryRefusal::kUnreadableLink:
      return "a link that cannot be read";
    case EntryRefusal::kLinkLeadingOutside:
      return "a link leading outside";
    case EntryRefusal::kBelowArchiveLink:
      return "below a link of the archive";
    case EntryRefusal::kMeetsLinkOnDisk:
      return "meets a link on disk";
    case EntryRefusal::kReservedName:
      return "a name the install keeps";
  }
  return "";
}

}  // namespace

std::string RefusalReason(const ExtractionFailure& failure) {
  std::string reason = RefusalText(failure.refusal);
  if (failure.refusal == EntryRefusal::kSamePath) reason += failure.earlierEntry;
  return reason;
}

std::string LoggedEntryName(const ExtractionFailure& failure) { return EscapedText(failure.entry); }

const char* InstallStepName(InstallStep step) {
  switch (step) {
    case InstallStep::kNone:
      return "";
    case InstallStep::kPlan:
      return "plan";
    case InstallStep::kBackupFolder:
      return "backup folder";
    case InstallStep::kJournal:
      return "journal";
    case InstallStep::kFlush:
      return "flush";
    case InstallStep::kRemovePlaced:
      return "remove";
    case InstallStep::kFindBackup:
      return "find backup";
    case InstallStep::kPutBack:
      return "put back";
  }
  return "";
}
