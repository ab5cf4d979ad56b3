// What a directory entry itself is, links never followed, and removing a link
// as a link. Following paths to what they name: runtime_paths.h.
#pragma once

#include <string>

namespace platform {

enum class EntryType { kMissing, kLink, kDirectory, kFile };

/// What `path` itself is: a symbolic link, junction or other reparse point is
/// kLink, whatever it points at (dangling included); kMissing when nothing is
/// there or it cannot be looked at, with LastSystemError() telling which
/// (IsMissingError: nothing is there).
EntryType EntryTypeOf(const std::string& path);

/// True when `path` itself is a link of any kind (EntryTypeOf's kLink).
inline bool IsLink(const std::string& path) { return EntryTypeOf(path) == EntryType::kLink; }

/// Removes the link `path` itself, never what it points at. False, with
/// LastSystemError() telling why, when it could not be removed.
bool RemoveLink(const std::string& path);

}  // namespace platform
