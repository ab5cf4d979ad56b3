// Archive entry names as this system's file functions take them.
#pragma once

#include <string>

namespace platform {

/// An archive entry's relative name as this system's file functions take it:
/// as stored on Windows, which reads "\" and "/" alike (and where a "\" byte
/// may be the second half of a double-byte character); with every "\" made
/// "/" on Linux, so a name written on Windows lands in the same directories.
std::string EntryPathForSystem(std::string name);

/// An entry's name as stored, as the program's text: on Windows UTF-8 as it
/// is when `utf8Flag` (bit 11 of the entry's flags) is set, otherwise read in
/// the ANSI code page, as the system has always read such names; the stored
/// bytes themselves on Linux, whose file names are bytes.
std::string EntryNameText(std::string stored, bool utf8Flag);

}  // namespace platform
