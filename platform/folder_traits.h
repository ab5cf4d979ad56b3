// What a folder carries besides its entries: an install that swaps an
// installed folder for its new namesake whole keeps them only when both agree.
#pragma once

#include <string>

#include "platform/system_error.h"

namespace platform {

/// The traits of the folder `dir`, as bytes to compare: its file system,
/// mode, owner, group and extended attributes (access lists, security
/// labels) on Linux; its attributes, owner, group and access list on
/// Windows. Not ok(), with the system's code, when `dir` is no folder (a
/// link to one included: ENOTDIR, ERROR_DIRECTORY) or they cannot be read.
SystemRead<std::string> FolderTraits(const std::string& dir);

}  // namespace platform
