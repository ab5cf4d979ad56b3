// Whether anything stands at a path of the installation, and removing it,
// a whole folder included.
#pragma once

#include <functional>
#include <string>

#include "platform/entry_type.h"

/// True when `path` names anything: a file, a folder or a link (a dangling
/// one included; links are not followed).
bool StandsAt(const std::string& path);

namespace platform {
class FolderHandle;
}

/// Removes whatever stands at the entry `name` of the folder `parent`: a
/// file, a link (never followed), or a folder with everything in it, its
/// folders opened relative to it and never through a link. True when nothing
/// stands there afterwards; what could not be removed stays.
bool RemoveTreeIn(const platform::FolderHandle& parent, const std::string& name);

/// Whether the entry `name` of `parent`, at `relative` below where a removal
/// began, stays; asked before the entry is touched.
using KeepsEntry =
    std::function<bool(const platform::FolderHandle& parent, const std::string& name, const std::string& relative)>;

/// Removes, as RemoveTreeIn does, what stands at `name` in `parent` as a
/// `type`, named `relative` for `keeps`, except each entry `keeps` keeps: it
/// stays, with the folders that hold it. True when everything not kept is
/// gone; false when something could not be removed, or a folder listed.
bool RemoveTreeKeeping(const platform::FolderHandle& parent, const std::string& name, platform::EntryType type,
                       const std::string& relative, const KeepsEntry& keeps);
