// The file an archive entry is written to: created, filled, given the entry's
// mode and time (file_mode.h, file_times.h) through the same handle, closed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

class FolderHandle;

/// One output file, open for writing from construction until Close() or
/// destruction. While it is open other programs may read and write it.
class ExtractedFile {
 public:
  /// Creates `path`, or truncates the file there; ok() is false when it
  /// cannot be opened (a missing parent, a read-only file, a directory).
  explicit ExtractedFile(const std::string& path);

  /// Creates the file `name` in `folder`, never through a link: only when
  /// nothing is there when `exclusive`, otherwise a file there (no link) is
  /// truncated. Windows also checks the handle it opened (see
  /// FolderHandle::OwnChild). ok() is false otherwise, with LastSystemError()
  /// telling why: IsLinkMetError() when a link stood at the name.
  ExtractedFile(const FolderHandle& folder, const std::string& name, bool exclusive);
  ~ExtractedFile();
  ExtractedFile(const ExtractedFile&) = delete;
  ExtractedFile& operator=(const ExtractedFile&) = delete;

  bool ok() const;

  /// Appends all `count` bytes; false when the system takes fewer (disk full).
  bool Write(const char* bytes, std::size_t count);

  /// Closes now; false when it was not open or the close reports a late write error.
  bool Close();

  /// The system's handle for the backends of file_mode.h and file_times.h:
  /// a descriptor on Linux, a HANDLE on Windows.
  std::intptr_t NativeHandle() const { return handle_; }

 private:
  std::intptr_t handle_;
};

}  // namespace platform
