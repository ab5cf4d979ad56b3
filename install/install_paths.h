// Paths of the install: a folder and a name joined, and the archive's
// entries that land in the installation (those below "update/").
#pragma once

#include <string>
#include <vector>

/// `name` joined to `folder` with the system's separator; `name` alone when
/// `folder` is empty (the installation itself, in paths relative to it).
std::string JoinPath(const std::string& folder, const std::string& name);

/// What `path` holds before its last separator; empty when it has none.
std::string ParentOf(const std::string& path);

/// The last name of `path`: what follows its last separator, all of it when
/// it has none.
std::string LastNameOf(const std::string& path);

/// `names` joined with the system's separator, in order.
std::string JoinNames(const std::vector<std::string>& names);

/// The names of the archive entry `entryName` below the archive's top-level
/// folder "update", as extraction writes them (entryPathNames): where the
/// install places it, relative to the installation. Empty for "update/"
/// itself and for an entry elsewhere.
std::vector<std::string> NamesBelowUpdate(const std::string& entryName);
