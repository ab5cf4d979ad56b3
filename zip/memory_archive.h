// Archive bytes held in memory, read by minizip through our own callback table.
#pragma once

#include <cstddef>
#include <vector>

#include "ioapi.h"

/// The reader's private copy of an archive's bytes and the position minizip
/// reads from. Must outlive the archive handle opened over its callbacks.
class MemoryArchive {
 public:
  explicit MemoryArchive(std::vector<unsigned char> bytes);
  MemoryArchive(const MemoryArchive&) = delete;
  MemoryArchive& operator=(const MemoryArchive&) = delete;

  /// minizip's 32-bit callback table over this block: opening for reading
  /// rewinds and hands out the block, reading copies what is left, seeking
  /// past the end fails without moving, closing leaves the block alone.
  zlib_filefunc_def callbacks();

 private:
  static voidpf ZCALLBACK openFile(voidpf opaque, const char* name, int mode);
  static uLong ZCALLBACK readFile(voidpf opaque, voidpf stream, void* buffer, uLong size);
  static uLong ZCALLBACK writeFile(voidpf opaque, voidpf stream, const void* buffer, uLong size);
  static long ZCALLBACK tellFile(voidpf opaque, voidpf stream);
  static long ZCALLBACK seekFile(voidpf opaque, voidpf stream, uLong offset, int origin);
  static int ZCALLBACK closeFile(voidpf opaque, voidpf stream);
  static int ZCALLBACK errorFile(voidpf opaque, voidpf stream);

  std::vector<unsigned char> bytes_;
  std::size_t limit_ = 0;   // readable end: the size once opened
  std::size_t offset_ = 0;  // where the next read starts
};
