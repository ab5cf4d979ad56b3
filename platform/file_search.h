// Searching one directory for the entries whose names match a wildcard pattern.
#pragma once

#include <string>
#include <vector>

namespace platform {

/// Names (without directory) of the entries matching `pattern`, a directory and
/// a name pattern joined by "\" or "/" ("*" any run of characters, "?" any one
/// character, letters compared without case, as the Windows file search does),
/// in the order the system returns them; directories count as entries. Empty
/// when nothing matches or the directory cannot be read.
std::vector<std::string> FindMatchingNames(const std::string& pattern);

}  // namespace platform
