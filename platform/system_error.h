// The system's code for the last failure on this thread, for log messages.
#pragma once

namespace platform {

/// GetLastError() on Windows, errno on Linux, as the last seam call left it.
int LastSystemError();

/// True when `code` says that a rename would cross volumes (EXDEV on Linux,
/// ERROR_NOT_SAME_DEVICE on Windows): the entry can only be copied there.
bool IsOtherVolumeError(int code);

}  // namespace platform
