// Whether two paths name the same file, however each is spelled.
#pragma once

#include <string>

namespace platform {

/// True when `left` and `right` both exist and name one file (the same volume
/// and file number), links followed; false when either cannot be looked at.
bool IsSameFile(const std::string& left, const std::string& right);

/// The volume and file number of `path` (links followed) as text, for names
/// that two installations must not share; empty when it cannot be looked at.
std::string FileIdentity(const std::string& path);

}  // namespace platform
