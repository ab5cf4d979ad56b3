// Searching one directory for the entries whose names match a wildcard
// pattern, and for one file.
#pragma once

#include <string>
#include <vector>

#include "platform/system_error.h"

namespace platform {

/// Names (without directory) of the entries matching `pattern`, a directory and
/// a name pattern joined by "\" or "/" ("*" any run of characters, "?" any one
/// character, letters compared without case, as the Windows file search does),
/// in the order the system returns them; directories count as entries. None
/// when nothing matches; not ok(), with the system's code, when the
/// directory cannot be read.
SystemRead<std::vector<std::string>> FindMatchingNames(const std::string& pattern);

/// True when `path` names something that is no directory: Windows searches
/// for it by its full path (so a pattern finds what it matches), Linux
/// resolves it, links followed, and asks its status. False when it is missing
/// or cannot be looked at (LastSystemError() tells which), as the described
/// existence test answers.
bool FindsFile(const std::string& path);

}  // namespace platform
