// Single files by their path, in any characters and of any length: opened
// as C library streams, read whole, removed. Trees: tree_removal, file_copy.h.
#pragma once

#include <cstdio>
#include <string>

namespace platform {

/// Opens the file `path` as a C library stream in `mode` ("wb", "a", ...);
/// null when it cannot be opened.
std::FILE* OpenFile(const std::string& path, const char* mode);

/// Every byte of the file `path`; empty when it is empty or cannot be read.
std::string ReadWholeFile(const std::string& path);

/// Deletes the file `path`; false when it could not be deleted.
bool RemoveFile(const std::string& path);

}  // namespace platform
