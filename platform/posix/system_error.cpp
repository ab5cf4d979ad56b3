// POSIX backend of platform/system_error.h.
#include "platform/system_error.h"

#include <cerrno>

int platform::LastSystemError() { return errno; }

void platform::SetLastSystemError(int code) { errno = code; }

bool platform::IsOtherVolumeError(int code) { return code == EXDEV; }

bool platform::IsMissingError(int code) { return code == ENOENT || code == ENOTDIR; }

bool platform::IsLinkMetError(int code) { return code == ELOOP; }

bool platform::IsHeldError(int code, const std::string&) { return code == EBUSY || code == ETXTBSY; }
