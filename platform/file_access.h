// Whether a file can be opened for reading, as the file itself would be by a reader.
#pragma once

namespace platform {

/// True when `path` names a file that opens for reading while others may read
/// and write it too; false for a missing file, a directory or a null path.
bool CanOpenFileForReading(const char* path);

}  // namespace platform
