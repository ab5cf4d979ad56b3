// POSIX backend of platform/archive_file.h.
#include "platform/archive_file.h"

#include "ioapi.h"

// fopen64 and fseeko64 keep offsets past 4 GiB; Linux has no share modes.
void platform::FillArchiveFileCallbacks(zlib_filefunc64_def_s* callbacks) {
  fill_fopen64_filefunc(callbacks);
}
