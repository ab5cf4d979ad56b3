// The file functions through which minizip opens an archive by its path.
#pragma once

// minizip's 64-bit callback table (ioapi.h); only its address crosses this seam.
struct zlib_filefunc64_def_s;

namespace platform {

/// Fills `callbacks` with 64-bit file functions for a path in the program's
/// text (UTF-8 on Windows, bytes on Linux): the archive
/// is opened for reading, shared with readers only, and only if it exists.
void FillArchiveFileCallbacks(zlib_filefunc64_def_s* callbacks);

}  // namespace platform
