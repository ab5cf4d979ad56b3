// Whether two names of one directory's entries name the same entry, and
// whether the system takes a name at all.
#pragma once

#include <string>

#include "platform/system_error.h"

namespace platform {

/// True when `left` and `right` name the same entry of a directory as this
/// system's file functions see it: exactly the same bytes on Linux; on
/// Windows, without regard to letter case and to trailing dots and blanks,
/// which its file functions drop.
bool SameFileName(const std::string& left, const std::string& right);

/// `name` in a form in which names that SameFileName takes for one entry are
/// equal bytes, for sorting and looking up many names at once.
std::string FoldedFileName(const std::string& name);

/// True when the system's file functions take `name` (one segment of a
/// path) as a name: at most 255 bytes on Linux, 255 UTF-16 units on Windows.
bool FitsFileName(const std::string& name);

/// The name by which the folder `folder` holds its entry `name`: on Windows
/// an 8.3 short name (`USERDA~1`) resolved to the entry's long name, so that
/// checks that compare names see one entry under both; `name` itself when
/// it is no other entry's short name or names nothing (always on Linux,
/// which has no such names). Fails with the system's code when the folder
/// cannot be asked.
SystemRead<std::string> LongNameIn(const std::string& folder, const std::string& name);

}  // namespace platform
