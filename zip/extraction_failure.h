// Why an extraction failed: what went wrong, on which entry or path, with
// the system's or the library's code, for the caller to report.
#pragma once

#include <cstdint>
#include <string>

struct ExtractionFailure {
  enum class Kind {
    kNone,                ///< no failure noted (an exception tells, if any)
    kRefusedEntry,        ///< `entry` may not be written: `reason` says why
    kNoRoom,              ///< the entries need `needed` bytes, the volume has `free`
    kDamagedEntry,        ///< `entry`'s data does not read back: `error` is the library's code
    kLargerThanRecorded,  ///< `entry` holds more data than its recorded size
    kNotWritten,          ///< `entry` (a path) could not be written: `error` is the system's code
  };
  Kind kind = Kind::kNone;
  std::string entry;
  std::string reason;
  int error = 0;
  std::uint64_t needed = 0;
  std::uint64_t free = 0;
};
