// The signing time of the last signed release installed, kept in the
// installation, and the signing time a trusted comment carries.
#pragma once

#include <cstdint>
#include <string>

/// The `timestamp:` of a trusted comment ("timestamp:1733700000\tfile:..."),
/// into `seconds`; false when it carries none.
bool SigningTime(const std::string& trustedComment, std::uint64_t& seconds);

enum class RecordState { kNone, kRead, kDamaged };

/// The signing time recorded in the installation `dstPath`: kNone when no
/// signed release was recorded there; kDamaged, with the system's code in
/// `error` where it could not be read, when it is there but gives no time.
RecordState RecordedSigningTime(const std::string& dstPath, std::uint64_t& seconds, int& error);

/// The record's path in the installation `dstPath`.
std::string ReleaseRecordPath(const std::string& dstPath);

/// Writes the record of `seconds` as the file `path`; false, with
/// LastSystemError() telling why, when it cannot be written whole.
bool WriteReleaseRecord(const std::string& path, std::uint64_t seconds);
