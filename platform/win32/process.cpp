// Windows backend of platform/process.h.
#include "platform/process.h"

#include <windows.h>

std::uint32_t platform::CurrentProcessId() { return GetCurrentProcessId(); }
