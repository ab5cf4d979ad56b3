// Archive entry names as this system's file functions take them.
#pragma once

#include <string>

namespace platform {

/// An archive entry's relative name as this system's file functions take it:
/// as stored on Windows, which reads "\" and "/" alike (and where a "\" byte
/// may be the second half of a double-byte character); with every "\" made
/// "/" on Linux, so a name written on Windows lands in the same directories.
std::string EntryPathForSystem(std::string name);

}  // namespace platform
