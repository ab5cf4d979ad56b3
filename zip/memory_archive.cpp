// Archive bytes held in memory, read by minizip through our own callback table.
#include "zip/memory_archive.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

MemoryArchive& blockOf(voidpf stream) { return *static_cast<MemoryArchive*>(stream); }

}  // namespace

MemoryArchive::MemoryArchive(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}

zlib_filefunc_def MemoryArchive::callbacks() {
  zlib_filefunc_def table{};
  table.zopen_file = &MemoryArchive::openFile;
  table.zread_file = &MemoryArchive::readFile;
  table.zwrite_file = &MemoryArchive::writeFile;
  table.ztell_file = &MemoryArchive::tellFile;
  table.zseek_file = &MemoryArchive::seekFile;
  table.zclose_file = &MemoryArchive::closeFile;
  table.zerror_file = &MemoryArchive::errorFile;
  table.opaque = this;
  return table;
}

// The name is minizip's placeholder; the block is the only file there is.
voidpf ZCALLBACK MemoryArchive::openFile(voidpf opaque, const char* /*name*/, int mode) {
  if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
  MemoryArchive& block = blockOf(opaque);
  block.limit_ = block.bytes_.size();
  block.offset_ = 0;
  return opaque;
}

uLong ZCALLBACK MemoryArchive::readFile(voidpf /*opaque*/, voidpf stream, void* buffer, uLong size) {
  MemoryArchive& block = blockOf(stream);
  const std::size_t left = block.bytes_.size() - block.offset_;
  const std::size_t count = std::min<std::size_t>(size, left);
  if (count != 0) std::memcpy(buffer, block.bytes_.data() + block.offset_, count);
  block.offset_ += count;
  return static_cast<uLong>(count);
}

// The reader never writes to its archive.
uLong ZCALLBACK MemoryArchive::writeFile(voidpf /*opaque*/, voidpf /*stream*/, const void* /*buffer*/, uLong /*size*/) {
  return 0;
}

long ZCALLBACK MemoryArchive::tellFile(voidpf /*opaque*/, voidpf stream) {
  return static_cast<long>(blockOf(stream).offset_);
}

// Worked out in 64 bits: an offset near the top of uLong must not wrap round
// to a position inside the block.
long ZCALLBACK MemoryArchive::seekFile(voidpf /*opaque*/, voidpf stream, uLong offset, int origin) {
  MemoryArchive& block = blockOf(stream);
  std::uint64_t base = 0;
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET:
      base = 0;
      break;
    case ZLIB_FILEFUNC_SEEK_CUR:
      base = block.offset_;
      break;
    case ZLIB_FILEFUNC_SEEK_END:
      base = block.limit_;
      break;
    default:
      return -1;
  }
  const std::uint64_t target = base + offset;
  if (target > block.bytes_.size()) return 1;
  block.offset_ = static_cast<std::size_t>(target);
  return 0;
}

int ZCALLBACK MemoryArchive::closeFile(voidpf /*opaque*/, voidpf /*stream*/) { return 0; }

int ZCALLBACK MemoryArchive::errorFile(voidpf /*opaque*/, voidpf /*stream*/) { return 0; }
