// POSIX backend of platform/archive_file.h.
#include "platform/archive_file.h"

#include <cstdio>

#include "ioapi.h"

namespace {

// minizip's own open function leaves the descriptor inheritable, and the
// archive stays open until the run ends, past the relaunch of the
// application: "e" opens it with O_CLOEXEC. Only reading is ever asked for.
voidpf ZCALLBACK OpenCloseOnExec(voidpf /*opaque*/, const void* filename, int mode) {
  if (filename == nullptr || (mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
  return fopen64(static_cast<const char*>(filename), "rbe");
}

}  // namespace

// fopen64 and fseeko64 keep offsets past 4 GiB; Linux has no share modes.
void platform::FillArchiveFileCallbacks(zlib_filefunc64_def_s* callbacks) {
  fill_fopen64_filefunc(callbacks);
  callbacks->zopen64_file = OpenCloseOnExec;
}
