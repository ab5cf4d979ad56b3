// The system's code for the last failure on this thread, for log messages,
// and the answer of a seam read that carries that code when it fails.
#pragma once

#include <string>

namespace platform {

/// GetLastError() on Windows, errno on Linux, as the last seam call left it.
int LastSystemError();

/// Makes `code` what LastSystemError() answers next on this thread, so that
/// a look after a failure does not hide the failure's own code.
void SetLastSystemError(int code);

/// True when `code` says that a rename would cross volumes (EXDEV on Linux,
/// ERROR_NOT_SAME_DEVICE on Windows): the entry can only be copied there.
bool IsOtherVolumeError(int code);

/// True when `code` says that the path names nothing (ENOENT or ENOTDIR on
/// Linux, ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND on Windows).
bool IsMissingError(int code);

/// True when `code` says that a link, junction or other reparse point stood
/// where a file or folder of our own was to be made or opened (ELOOP on
/// Linux, ERROR_REPARSE_POINT_ENCOUNTERED on Windows).
bool IsLinkMetError(int code);

/// True when `code`, met at `path`, says that another program holds the
/// path for now: a sharing or lock violation on Windows, and access denied
/// on a file that is not read-only (scanners give that); EBUSY or ETXTBSY on
/// Linux. Such a step may succeed when tried again a moment later.
bool IsHeldError(int code, const std::string& path);

/// What a read of the system found: `value` when `error` is 0, otherwise
/// the system's code for why it could not be read, so that "could not read"
/// is never taken for an empty answer.
template <typename T>
struct SystemRead {
  T value{};
  int error = 0;
  bool ok() const { return error == 0; }
};

}  // namespace platform
