// Symbolic links that an archive's link entries become, where the system
// makes them. What a path itself is, and removing a link: entry_type.h.
#pragma once

#include <string>

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

}  // namespace platform
