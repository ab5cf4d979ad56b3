// Windows backend of platform/archive_file.h.
#include "platform/archive_file.h"

#include <windows.h>

#include "ioapi.h"
#include "iowin32.h"

// CreateFileA with GENERIC_READ, FILE_SHARE_READ and OPEN_EXISTING, and 64-bit
// positions through SetFilePointerEx, also in the 32-bit program.
void platform::FillArchiveFileCallbacks(zlib_filefunc64_def_s* callbacks) {
  fill_win32_filefunc64A(callbacks);
}
