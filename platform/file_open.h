// Single files by their path, in any characters and of any length: opened
// as C library streams, read whole, removed. Trees: tree_removal, file_copy.h.
#pragma once

#include <cstdio>
#include <string>

#include "platform/system_error.h"

namespace platform {

/// Opens the file `path` as a C library stream in `mode` ("wb", "a", ...);
/// null when it cannot be opened.
std::FILE* OpenFile(const std::string& path, const char* mode);

/// Every byte of the file `path`; not ok(), with the system's code, when it
/// cannot be opened or read (IsMissingError: there is no such file).
SystemRead<std::string> ReadWholeFile(const std::string& path);

/// Deletes the file `path`; false when it could not be deleted.
bool RemoveFile(const std::string& path);

}  // namespace platform
