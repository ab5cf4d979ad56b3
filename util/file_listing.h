// Listing files: one directory by extension, or a tree through dlib.
#pragma once

#include <string>
#include <vector>

#include <dlib/dir_nav.h>

/// "<directory>\<name>" for every entry matching "<directory>\*.<extension>"
/// ("/" instead of "\" where that is the system's separator), directories
/// included ("." and ".." too when they match), in the order the system gives them. Empty
/// when nothing matches or the pattern does not fit in 260 bytes; an entry
/// whose listed path would not fit in 260 bytes is left out.
std::vector<std::string> ListFilesByExtension(const std::string& directory, const char* extension);

/// The files of `directory` as dlib lists them, then (when `recurse`) those of
/// each subdirectory in dlib's order, depth first. Empty when `directory` is
/// not an existing directory; a failing listing throws dlib's listing_error.
/// dlib's Windows listing takes and gives paths in the ANSI code page, so
/// there it reaches only ASCII paths of the program's UTF-8 text; the update
/// lists through platform/directory_listing.h instead.
std::vector<dlib::file> ListFilesRecursive(const std::string& directory, bool recurse);
