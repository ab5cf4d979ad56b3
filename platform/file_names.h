// Whether two names of one directory's entries name the same entry.
#pragma once

#include <string>

namespace platform {

/// True when `left` and `right` name the same entry of a directory as this
/// system's file functions see it: exactly the same bytes on Linux; on
/// Windows, without regard to letter case and to trailing dots and blanks,
/// which its file functions drop.
bool SameFileName(const std::string& left, const std::string& right);

}  // namespace platform
