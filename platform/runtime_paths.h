// The C runtime's path calls that extraction relies on: status, write access,
// creating one directory. Directory trees are built above this seam. They are
// not file_system.h's directory test: on Windows the runtime's status query
// fails for a path that ends in a separator, and extraction keeps that answer.
#pragma once

#include <string>

namespace platform {

enum class PathKind { kMissing, kDirectory, kRegularFile, kOther };

/// What the runtime's status query says `path` is; kMissing when the query fails
/// (on Windows also for a path that ends in a separator), as extraction has
/// always read it; LastSystemError() tells why.
PathKind RuntimeStat(const std::string& path);

/// True when the runtime's access test grants writing to `path`.
bool RuntimeCanWrite(const std::string& path);

/// Creates the one directory `path` with the runtime's mkdir; false when it
/// could not be created (it exists, its parent is missing, no permission).
bool RuntimeMakeDirectory(const std::string& path);

}  // namespace platform
