// The program's own place in the file system, and directories one at a time.
// Copying, moving and listing trees live in their own headers.
#pragma once

#include <string>

#include "platform/system_error.h"

namespace platform {

// The program's own place.

/// The separator this system's paths are joined with: "\" on Windows, "/" on Linux.
extern const char kPathSeparator[];

/// Full path of the running executable, of any length; not ok(), with the
/// system's code, when it cannot be read.
SystemRead<std::string> ExecutablePath();

/// Makes `path` the process's current directory, on Windows by its short
/// (8.3) form where it is longer than a current folder may be (258
/// characters); false (directory unchanged, LastSystemError() telling why)
/// on failure.
bool SetCurrentDir(const std::string& path);

/// The process's current directory; not ok(), with the system's code, when it cannot be read.
SystemRead<std::string> CurrentDir();

// Directories.

/// True when `path` names an existing directory (PathIsDirectoryW on
/// Windows, so a trailing separator still names it); false also when it
/// cannot be looked at, with LastSystemError() telling why, as the
/// described directory test answers. Extraction asks the C
/// runtime instead, which answers otherwise there: runtime_paths.h.
bool IsExistingDirectory(const std::string& path);

/// Creates one directory with default permissions; false when it could not be created.
bool MakeDirectory(const std::string& path);

}  // namespace platform
