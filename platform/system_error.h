// The system's code for the last failure on this thread, for log messages.
#pragma once

namespace platform {

/// GetLastError() on Windows, errno on Linux, as the last seam call left it.
int LastSystemError();

}  // namespace platform
