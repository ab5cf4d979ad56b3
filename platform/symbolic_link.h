// Symbolic links that an archive's link entries become, where the system
// makes them. What a path itself is, and removing a link: entry_type.h.
#pragma once

#include <string>

#include "platform/system_error.h"

namespace platform {

/// True where extraction makes the link entries of archives made on Unix
/// into symbolic links (Linux). On Windows such an entry is written as a file
/// that holds the name of what it leads to, as any other entry is.
extern const bool kMakesSymbolicLinks;

/// Makes `path` a symbolic link that leads to `target` (read from the link's
/// own directory), replacing a regular file there, never a directory or a
/// link. False, with LastSystemError() telling why, when it could not be
/// made; always false on Windows.
bool MakeSymbolicLink(const std::string& target, const std::string& path);

/// Where the link `path` itself leads, as comparable text: on Linux the text
/// it holds, on Windows the full path of what it opens. Fails, with the
/// system's code, when `path` is no link or cannot be read.
SystemRead<std::string> LinkText(const std::string& path);

}  // namespace platform
