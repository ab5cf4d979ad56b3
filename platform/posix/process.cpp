// POSIX backend of platform/process.h.
#include "platform/process.h"

#include <unistd.h>

std::uint32_t platform::CurrentProcessId() { return static_cast<std::uint32_t>(getpid()); }
