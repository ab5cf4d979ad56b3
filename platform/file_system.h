// Directories and the program's own place in the file system.
// Copying, moving and listing trees live in their own headers.
#pragma once

#include <string>

namespace platform {

/// The separator this system's paths are joined with: "\" on Windows, "/" on Linux.
extern const char kPathSeparator[];

/// The C library mode that appends text lines to a log file ("at" on Windows, "a" on Linux).
extern const char kAppendTextMode[];

/// An archive entry's relative name as this system's file functions take it:
/// as stored on Windows, which reads "\" and "/" alike (and where a "\" byte
/// may be the second half of a double-byte character); with every "\" made
/// "/" on Linux, so a name written on Windows lands in the same directories.
std::string EntryPathForSystem(std::string name);

/// Full path of the running executable, at most 259 bytes on Windows; empty when unknown.
std::string ExecutablePath();

/// Makes `path` the process's current directory; false (directory unchanged) on failure.
bool SetCurrentDir(const std::string& path);

/// The process's current directory; empty when it cannot be read.
std::string CurrentDir();

/// True when `path` names an existing directory.
bool IsExistingDirectory(const std::string& path);

/// True when `path` itself is a symbolic link, junction or other reparse
/// point; the link is not followed.
bool IsLink(const std::string& path);

/// Creates one directory with default permissions; false when it could not be created.
bool MakeDirectory(const std::string& path);

}  // namespace platform
