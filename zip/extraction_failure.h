// Why an extraction failed: what went wrong, on which entry or path, with
// the system's or the library's code, for the caller to report. The words
// the log gives each cause: UpGrade/failure_reasons.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

/// Why an entry may not be written, found before anything is.
enum class EntryRefusal {
  kNone,
  kOutsideDestination,  ///< its output name would land outside the destination
  kDeviceName,          ///< a segment names a Windows device
  kColonInName,         ///< its output name holds a colon, which Windows reads as a stream
  kNulInName,           ///< its stored name holds a NUL
  kNotUtf8,             ///< flagged as UTF-8, its name is not
  kEndsInDotOrBlank,    ///< a segment ends in a dot or a blank
  kNameTooLong,         ///< a segment is longer than the system takes
  kSamePath,            ///< it names the path of `earlierEntry`
  kUnreadableLink,      ///< a link whose target cannot be read
  kLinkLeadingOutside,  ///< a link leading outside the destination or its installed folder
  kBelowArchiveLink,    ///< it lies below a link of the archive
  kMeetsLinkOnDisk,     ///< it or a folder above it is a link on disk
  kReservedName,        ///< a name the install keeps (EntryTakingReservedName), found before extraction
};

struct ExtractionFailure {
  enum class Kind {
    kNone,                ///< no failure noted (an exception tells, if any)
    kRefusedEntry,        ///< `entry` may not be written: `refusal` says why
    kNoRoom,              ///< the entries need `needed` bytes, the volume has `free`
    kDamagedEntry,        ///< `entry`'s data does not read back: `error` is the library's code
    kLargerThanRecorded,  ///< `entry` holds more data than its recorded size
    kNotWritten,          ///< `entry` (a path) could not be written: `error` is the system's code
    kLinkInPlace,         ///< a link or junction stood at `entry` (a path), where the extraction was to make its own
    kForeignFolder,  ///< the folder `entry` (a path) the extraction writes for the install is not the running user's
  };
  Kind kind = Kind::kNone;
  std::string entry;
  EntryRefusal refusal = EntryRefusal::kNone;
  int error = 0;
  std::uint64_t needed = 0;
  std::uint64_t free = 0;
  std::string earlierEntry{};  ///< for EntryRefusal::kSamePath

  /// The entry stored as `entry` refused for `refusal`; `earlier` the
  /// earlier entry of its path, for kSamePath.
  static ExtractionFailure refused(std::string entry, EntryRefusal refusal, std::string earlier = {}) {
    ExtractionFailure failure;
    failure.kind = Kind::kRefusedEntry;
    failure.entry = std::move(entry);
    failure.refusal = refusal;
    failure.earlierEntry = std::move(earlier);
    return failure;
  }
};
