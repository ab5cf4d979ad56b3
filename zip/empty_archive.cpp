// Archives without entries: only an end record, which minizip will not open.
// minizip takes an end record found at offset 0 for none found at all.
#include "zip/empty_archive.h"

namespace {

constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kLongestComment = 0xFFFF;
constexpr std::uint8_t kEndRecordSignature[] = {'P', 'K', 5, 6};

std::uint32_t little(const std::vector<std::uint8_t>& bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
  return value;
}

// A stream opened through minizip's callbacks, closed on every way out.
class CallbackFile {
 public:
  CallbackFile(const zlib_filefunc64_def& callbacks, const std::string& path)
      : callbacks_(callbacks),
        stream_(callbacks.zopen64_file(callbacks.opaque, path.c_str(),
                                       ZLIB_FILEFUNC_MODE_READ | ZLIB_FILEFUNC_MODE_EXISTING)) {}
  ~CallbackFile() {
    if (stream_ != nullptr) callbacks_.zclose_file(callbacks_.opaque, stream_);
  }
  CallbackFile(const CallbackFile&) = delete;
  CallbackFile& operator=(const CallbackFile&) = delete;

  // The whole file when it is no longer than `limit`; false otherwise.
  bool readAll(std::size_t limit, std::vector<std::uint8_t>& bytes) {
    if (stream_ == nullptr || seek(0, ZLIB_FILEFUNC_SEEK_END) != 0) return false;
    const ZPOS64_T size = callbacks_.ztell64_file(callbacks_.opaque, stream_);
    if (size > limit || seek(0, ZLIB_FILEFUNC_SEEK_SET) != 0) return false;
    bytes.resize(static_cast<std::size_t>(size));
    const auto wanted = static_cast<uLong>(size);
    return callbacks_.zread_file(callbacks_.opaque, stream_, bytes.data(), wanted) == wanted;
  }

 private:
  long seek(ZPOS64_T offset, int origin) { return callbacks_.zseek64_file(callbacks_.opaque, stream_, offset, origin); }

  zlib_filefunc64_def callbacks_;
  voidpf stream_;
};

}  // namespace

bool isEmptyArchive(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() < kEndRecordSize) return false;
  for (std::size_t i = 0; i < sizeof kEndRecordSignature; ++i) {
    if (bytes[i] != kEndRecordSignature[i]) return false;
  }
  // Disk numbers, both entry counts, directory size and offset: all zero.
  for (std::size_t at = 4; at < 20; ++at) {
    if (bytes[at] != 0) return false;
  }
  return little(bytes, 20, 2) == bytes.size() - kEndRecordSize;
}

bool isEmptyArchiveFile(const std::string& path, const zlib_filefunc64_def& callbacks) {
  std::vector<std::uint8_t> bytes;
  CallbackFile file(callbacks, path);
  return file.readAll(kEndRecordSize + kLongestComment, bytes) && isEmptyArchive(bytes);
}
