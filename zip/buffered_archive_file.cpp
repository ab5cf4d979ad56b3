// An archive file read through two windows of its bytes, for minizip.
#include "zip/buffered_archive_file.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kWindowSize = 64 * 1024;

BufferedArchiveFile& fileOf(voidpf opaque) { return *static_cast<BufferedArchiveFile*>(opaque); }

}  // namespace

BufferedArchiveFile::BufferedArchiveFile(const zlib_filefunc64_def& base) : base_(base) {}

zlib_filefunc64_def BufferedArchiveFile::callbacks() {
  return zlib_filefunc64_def{openFile, readFile, writeFile, tellFile, seekFile, closeFile, errorFile, this};
}

// The size is taken once: minizip looks for the end record from the end.
voidpf ZCALLBACK BufferedArchiveFile::openFile(voidpf opaque, const void* name, int mode) {
  BufferedArchiveFile& self = fileOf(opaque);
  if (self.stream_ != nullptr) return nullptr;
  voidpf stream = self.base_.zopen64_file(self.base_.opaque, name, mode);
  if (stream == nullptr) return nullptr;
  if (self.base_.zseek64_file(self.base_.opaque, stream, 0, ZLIB_FILEFUNC_SEEK_END) != 0) {
    self.base_.zclose_file(self.base_.opaque, stream);
    return nullptr;
  }
  self.stream_ = stream;
  self.size_ = self.base_.ztell64_file(self.base_.opaque, stream);
  self.basePosition_ = self.size_;
  self.position_ = 0;
  for (Window& window : self.windows_) window.bytes.clear();
  return stream;
}

uLong ZCALLBACK BufferedArchiveFile::readFile(voidpf opaque, voidpf /*stream*/, void* buffer, uLong size) {
  return fileOf(opaque).read(static_cast<unsigned char*>(buffer), size);
}

uLong ZCALLBACK BufferedArchiveFile::writeFile(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK BufferedArchiveFile::tellFile(voidpf opaque, voidpf /*stream*/) { return fileOf(opaque).position_; }

long ZCALLBACK BufferedArchiveFile::seekFile(voidpf opaque, voidpf /*stream*/, ZPOS64_T offset, int origin) {
  BufferedArchiveFile& self = fileOf(opaque);
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET:
      self.position_ = offset;
      return 0;
    case ZLIB_FILEFUNC_SEEK_CUR:
      self.position_ += offset;
      return 0;
    case ZLIB_FILEFUNC_SEEK_END:
      self.position_ = self.size_ + offset;
      return 0;
    default:
      return -1;
  }
}

int ZCALLBACK BufferedArchiveFile::closeFile(voidpf opaque, voidpf stream) {
  BufferedArchiveFile& self = fileOf(opaque);
  self.stream_ = nullptr;
  for (Window& window : self.windows_) window.bytes = {};
  return self.base_.zclose_file(self.base_.opaque, stream);
}

int ZCALLBACK BufferedArchiveFile::errorFile(voidpf opaque, voidpf stream) {
  BufferedArchiveFile& self = fileOf(opaque);
  return self.base_.zerror_file(self.base_.opaque, stream);
}

// A read as large as a window goes straight to the file; a smaller one is
// served from the window that holds its start, refilled when none does.
uLong BufferedArchiveFile::read(unsigned char* buffer, uLong size) {
  if (size >= kWindowSize) {
    const uLong got = readBase(position_, buffer, size);
    position_ += got;
    return got;
  }
  uLong done = 0;
  while (done < size && position_ < size_) {
    Window* holder = nullptr;
    for (Window& window : windows_) {
      if (position_ >= window.start && position_ < window.start + window.bytes.size()) holder = &window;
    }
    Window& window = holder != nullptr ? *holder : refill(position_);
    if (window.bytes.empty()) break;
    window.lastUse = ++uses_;
    const auto offset = static_cast<std::size_t>(position_ - window.start);
    const std::size_t count = std::min<std::size_t>(size - done, window.bytes.size() - offset);
    std::memcpy(buffer + done, window.bytes.data() + offset, count);
    done += static_cast<uLong>(count);
    position_ += count;
  }
  return done;
}

BufferedArchiveFile::Window& BufferedArchiveFile::refill(ZPOS64_T at) {
  Window& window = windows_[0].lastUse <= windows_[1].lastUse ? windows_[0] : windows_[1];
  window.bytes.resize(kWindowSize);
  window.start = at;
  window.bytes.resize(readBase(at, window.bytes.data(), static_cast<uLong>(kWindowSize)));
  return window;
}

uLong BufferedArchiveFile::readBase(ZPOS64_T at, unsigned char* buffer, uLong size) {
  if (at != basePosition_) {
    if (base_.zseek64_file(base_.opaque, stream_, at, ZLIB_FILEFUNC_SEEK_SET) != 0) return 0;
    basePosition_ = at;
  }
  const uLong got = base_.zread_file(base_.opaque, stream_, buffer, size);
  basePosition_ += got;
  return got;
}
