// This process and others: identity, finding and stopping by executable name.
// Starting programs: program.h and shell.h.
#pragma once

#include <cstdint>

namespace platform {

/// The system's id of the calling process.
std::uint32_t CurrentProcessId();

}  // namespace platform
