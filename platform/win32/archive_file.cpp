// Windows backend of platform/archive_file.h.
#include "platform/archive_file.h"

#include <windows.h>

#include "ioapi.h"
#include "iowin32.h"
#include "platform/win32/wide_text.h"

namespace {

// minizip hands the open function the path the archive was opened with; ours
// is UTF-8 and becomes the wide path here.
voidpf ZCALLBACK OpenByUtf8Path(voidpf opaque, const void* filename, int mode) {
  zlib_filefunc64_def wide{};
  fill_win32_filefunc64W(&wide);
  if (filename == nullptr) return wide.zopen64_file(opaque, nullptr, mode);
  const std::wstring path = platform::WidePath(static_cast<const char*>(filename));
  return wide.zopen64_file(opaque, path.c_str(), mode);
}

}  // namespace

// CreateFileW with GENERIC_READ, FILE_SHARE_READ and OPEN_EXISTING, and 64-bit
// positions through SetFilePointerEx, also in the 32-bit program.
void platform::FillArchiveFileCallbacks(zlib_filefunc64_def_s* callbacks) {
  fill_win32_filefunc64W(callbacks);
  callbacks->zopen64_file = OpenByUtf8Path;
}
