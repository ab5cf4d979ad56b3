// The program's own place in the file system, and directories one at a time.
// Copying, moving and listing trees live in their own headers.
#pragma once

#include <string>

namespace platform {

// The program's own place.

/// The separator this system's paths are joined with: "\" on Windows, "/" on Linux.
extern const char kPathSeparator[];

/// Full path of the running executable, of any length; empty when unknown.
std::string ExecutablePath();

/// Makes `path` the process's current directory; false (directory unchanged) on failure.
bool SetCurrentDir(const std::string& path);

/// The process's current directory; empty when it cannot be read.
std::string CurrentDir();

// Directories.

/// True when `path` names an existing directory (PathIsDirectoryW on
/// Windows, so a trailing separator still names it). Extraction asks the C
/// runtime instead, which answers otherwise there: runtime_paths.h.
bool IsExistingDirectory(const std::string& path);

/// Creates one directory with default permissions; false when it could not be created.
bool MakeDirectory(const std::string& path);

}  // namespace platform
