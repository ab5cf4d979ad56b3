// Opening the current entry and copying its bytes out in chunks.
#include <algorithm>
#include <ostream>
#include <stdexcept>
#include <utility>
#include <vector>

#include "zip/zip_errors.h"
#include "zip/zip_reader_state.h"

namespace {

// inflate and the CRC run longer per call on a larger chunk; past 64 KiB the
// gain is lost to the caches.
constexpr unsigned kChunkSize = 64 * 1024;
constexpr std::uint16_t kEncryptedFlag = 0x0001;
constexpr unsigned long kStored = 0;
constexpr unsigned long kDeflated = 8;
constexpr std::uint32_t kLargestBufferCount = 2147483647;
// The recorded size is the archive's claim: reserving all of it would let a
// few hostile bytes demand gigabytes. Past this the buffer grows with the data.
constexpr std::uint32_t kLargestReservation = 16u << 20;

// A raw deflate stream (no header, as an archive stores it), ended when it goes.
class RawInflate {
 public:
  RawInflate() : ok_(inflateInit2(&stream_, -MAX_WBITS) == Z_OK) {}
  ~RawInflate() {
    if (ok_) inflateEnd(&stream_);
  }
  RawInflate(const RawInflate&) = delete;
  RawInflate& operator=(const RawInflate&) = delete;

  bool ok() const { return ok_; }
  z_stream& stream() { return stream_; }

 private:
  z_stream stream_{};
  bool ok_;
};

}  // namespace

// minizip decrypts every entry it is handed a password for, without looking
// at the entry's encryption flag, so only an encrypted entry gets the
// password; with no password such an entry is refused with the code the
// library gives a password it cannot use. minizip also reads a bzip2 entry as
// if stored, without a CRC check: every method but stored and deflate is
// refused here, before anything is written, with the code of its method check.
OpenedEntry ZipReaderState::openCurrentEntry(const ArchiveEntry& entry) {
  unz_file_info64 info{};
  int result = unzGetCurrentFileInfo64(handle.get(), &info, /*szFileName=*/nullptr, 0,
                                       /*extraField=*/nullptr, 0, /*szComment=*/nullptr, 0);
  const bool encrypted = (info.flag & kEncryptedFlag) != 0;
  if (result == UNZ_OK && encrypted && password.empty()) result = UNZ_PARAMERROR;
  if (result == UNZ_OK && info.compression_method != kStored && info.compression_method != kDeflated) {
    result = UNZ_BADZIPFILE;
  }
  if (result == UNZ_OK) {
    result = unzOpenCurrentFilePassword(handle.get(), encrypted ? password.c_str() : nullptr);
  }
  if (result != UNZ_OK) throw openEntryError(result, entry.entryName);
  OpenedEntry opened;
  opened.unpackedSize = info.uncompressed_size;
  opened.versionMadeBy = static_cast<std::uint32_t>(info.version);
  opened.externalAttributes = static_cast<std::uint32_t>(info.external_fa);
  return opened;
}

int ZipReaderState::pumpOpenedEntry(const OpenedEntry& opened, const ChunkSink& take) {
  // One chunk serves every entry of the reader: clearing a fresh one for
  // each of 20,000 small files would cost more than reading them.
  if (chunk.empty()) chunk.resize(kChunkSize);
  std::uint64_t delivered = 0;
  int lastRead = 0;
  while ((lastRead = unzReadCurrentFile(handle.get(), chunk.data(), kChunkSize)) > 0) {
    delivered += static_cast<std::uint64_t>(lastRead);
    if (!take(chunk.data(), static_cast<std::size_t>(lastRead))) return -1;
  }
  // minizip stops without a CRC check when an entry's data ends before its
  // recorded size; such a copy is a read failure, not a short success.
  if (lastRead == 0 && delivered != opened.unpackedSize) return Z_DATA_ERROR;
  return lastRead;
}

int ZipReaderState::copyOpenedEntry(std::ostream& stream, const OpenedEntry& opened) {
  const int result = pumpOpenedEntry(opened, [&](const char* bytes, std::size_t count) {
    stream.write(bytes, static_cast<std::streamsize>(count));
    return static_cast<bool>(stream);
  });
  stream.flush();
  return stream ? result : -1;
}

int ZipReaderState::copyCurrentEntryToStream(std::ostream& stream, const ArchiveEntry& entry) {
  const OpenedEntry opened = openCurrentEntry(entry);
  return copyOpenedEntry(stream, opened);
}

bool ZipReaderState::readCurrentEntryWhole(const ArchiveEntry& entry, std::vector<char>& bytes, EntryFileStamp& stamp) {
  bytes.clear();
  try {
    const OpenedEntry opened = openCurrentEntry(entry);
    bytes.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(opened.unpackedSize, kLargestReservation)));
    const int result = pumpOpenedEntry(opened, [&](const char* chunkBytes, std::size_t count) {
      bytes.insert(bytes.end(), chunkBytes, chunkBytes + count);
      return true;
    });
    if (result != 0) {
      unzCloseCurrentFile(handle.get());
      return false;
    }
    if (unzCloseCurrentFile(handle.get()) != UNZ_OK) return false;
    stamp = {opened.versionMadeBy, opened.externalAttributes, entry.dosDateTime};
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

int ZipReaderState::copyCurrentEntryToBuffer(std::vector<std::uint8_t>& buffer, const ArchiveEntry& entry) {
  const OpenedEntry opened = openCurrentEntry(entry);
  const auto count = static_cast<std::uint32_t>(entry.unpackedSize);
  if (buffer.capacity() < count) {
    if (count > kLargestBufferCount) throw std::length_error("vector::reserve");
    buffer.reserve(std::min(count, kLargestReservation));
  }
  return pumpOpenedEntry(opened, [&](const char* bytes, std::size_t size) {
    const auto* first = reinterpret_cast<const std::uint8_t*>(bytes);
    buffer.insert(buffer.end(), first, first + size);
    return true;
  });
}

void ZipReaderState::fail(ExtractionFailure cause) {
  if (failure.kind == ExtractionFailure::Kind::kNone) failure = std::move(cause);
}

void ZipReaderState::failDamaged(const ArchiveEntry& entry, int code) {
  const bool larger = holdsMoreThanRecorded();
  fail({larger ? ExtractionFailure::Kind::kLargerThanRecorded : ExtractionFailure::Kind::kDamagedEntry,
        entry.entryName,
        {},
        code});
}

// The library hands out no more than an entry's recorded size, so data past
// it shows only as a CRC mismatch. Read on the failure path alone: the raw
// data is inflated again here, counting, until it passes the recorded size.
bool ZipReaderState::holdsMoreThanRecorded() {
  unzCloseCurrentFile(handle.get());
  unz_file_info64 info{};
  if (unzGetCurrentFileInfo64(handle.get(), &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK ||
      (info.flag & kEncryptedFlag) != 0) {
    return false;
  }
  if (info.compression_method == kStored) return info.compressed_size > info.uncompressed_size;
  int method = 0;
  int level = 0;
  if (info.compression_method != kDeflated || unzOpenCurrentFile2(handle.get(), &method, &level, /*raw=*/1) != UNZ_OK) {
    return false;
  }
  const std::uint64_t inflated = inflatedSizeUpTo(info.uncompressed_size);
  unzCloseCurrentFile(handle.get());
  return inflated > info.uncompressed_size;
}

std::uint64_t ZipReaderState::inflatedSizeUpTo(std::uint64_t limit) {
  RawInflate inflater;
  if (!inflater.ok()) return 0;
  std::vector<char> in(kChunkSize);
  std::vector<unsigned char> out(kChunkSize);
  std::uint64_t inflated = 0;
  int status = Z_OK;
  int read = 0;
  while (status == Z_OK && inflated <= limit && (read = unzReadCurrentFile(handle.get(), in.data(), kChunkSize)) > 0) {
    z_stream& stream = inflater.stream();
    stream.next_in = reinterpret_cast<Bytef*>(in.data());
    stream.avail_in = static_cast<uInt>(read);
    while (status == Z_OK && stream.avail_in > 0 && inflated <= limit) {
      stream.next_out = out.data();
      stream.avail_out = kChunkSize;
      status = inflate(&stream, Z_NO_FLUSH);
      inflated += kChunkSize - stream.avail_out;
    }
  }
  return inflated;
}
