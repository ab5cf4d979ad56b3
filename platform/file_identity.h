// Whether two paths name the same file, however each is spelled.
#pragma once

#include <string>

#include "platform/system_error.h"

namespace platform {

/// True when `left` and `right` both exist and name one file (the same volume
/// and file number), links followed; false when either cannot be looked at:
/// every caller asks only to pick out or spare one file, and one that cannot
/// be looked at can be shown to be neither.
bool IsSameFile(const std::string& left, const std::string& right);

/// The volume and file number of `path` (links followed) as text, for names
/// that two installations must not share; not ok(), with the system's code,
/// when it cannot be looked at.
SystemRead<std::string> FileIdentity(const std::string& path);

}  // namespace platform
