// Where an entry is written: its path below a destination, and whether a
// stored or renamed name stays inside that destination.
#pragma once

#include <string>

/// False for a relative output name that could land outside its destination:
/// empty, rooted ("/x", "\x", "//server"), with a drive prefix ("C:x"), or
/// with a segment of dots and blanks such as ".." (either separator counts).
bool landsInsideDestination(const std::string& relative);

/// `relative` below `destination`, joined with the system's separator; the
/// relative part as EntryPathForSystem gives it. Only that part when
/// `destination` is empty.
std::string outputPathOf(const std::string& destination, const std::string& relative);
