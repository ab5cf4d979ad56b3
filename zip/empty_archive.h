// Archives without entries: only an end record, which minizip will not open.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ioapi.h"

/// True when `bytes` are a whole archive with no entries: one end-of-directory
/// record at the start, followed by exactly its comment.
bool isEmptyArchive(const std::vector<std::uint8_t>& bytes);

/// True when the file at `path`, read through `callbacks`, is such an archive.
bool isEmptyArchiveFile(const std::string& path, const zlib_filefunc64_def& callbacks);
