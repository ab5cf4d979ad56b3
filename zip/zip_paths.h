// The path routines of extraction: directory trees, parents, tidied paths.
#pragma once

#include <string>
#include <vector>

/// True when `path` is a writable directory afterwards: one already there
/// (a single trailing separator ignored), or one created now after its
/// missing ancestors, top down. False when it exists but is not writable, or
/// cannot be made (a regular file in the way, no permission).
bool makeDirectoryPath(const std::string& path);

/// The text before the last "\" or "/" of `path`, looking past one at its very
/// end: "C:/a" for both "C:/a/b.txt" and "C:/a/b/"; empty without a separator.
std::string parentPathOf(const std::string& path);

/// `path` with "/" for "\", leading "./" removed, doubled "/" collapsed (a
/// leading pair kept for network paths), "/./" removed, and each "name/../"
/// folded away from the end: "C:\inst\temp\..\x" becomes "C:/inst/x", while
/// "a/b/.." (no slash after the dots) and a leading "../" stay.
std::string tidyPath(const std::string& path);

/// The names between the "/" separators of `path`, empty ones and "." dropped.
std::vector<std::string> pathSegments(const std::string& path);

/// The names of the archive entry `entryName` as extraction writes it on
/// this system (see platform::EntryPathForSystem), tidied and split.
std::vector<std::string> entryPathNames(const std::string& entryName);

/// True when `names` begin with the names of `prefix`, each compared as the
/// system compares names (platform::SameFileName).
bool startsWithNames(const std::vector<std::string>& names, const std::vector<std::string>& prefix);
