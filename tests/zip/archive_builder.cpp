// Archives for the zip tests: written with minizip's zip interface, and
// patched afterwards for what it will not write (other methods, bad sizes).
#include "tests/zip/archive_builder.h"

#include <stdexcept>

#include "zip.h"

namespace zip_testing {

namespace {

constexpr std::uint32_t kCentralHeaderSignature = 0x02014b50;
constexpr std::uint32_t kEndOfDirectorySignature = 0x06054b50;

void Check(int result, const char* what) {
  if (result != ZIP_OK) throw std::runtime_error(std::string(what) + " failed: " + std::to_string(result));
}

std::uint32_t Read32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes.at(at + i));
  return value;
}

std::uint16_t Read16(const std::string& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes.at(at)) |
                                    static_cast<unsigned char>(bytes.at(at + 1)) << 8);
}

void Write16(std::string& bytes, std::size_t at, std::uint16_t value) {
  bytes.at(at) = static_cast<char>(value & 0xFF);
  bytes.at(at + 1) = static_cast<char>(value >> 8);
}

// The encryption header's check byte comes from the data's CRC.
unsigned long CrcOf(const std::string& data) {
  return crc32(0L, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
}

}  // namespace

EntryRecipe File(const std::string& name, const std::string& data) {
  EntryRecipe entry;
  entry.name = name;
  entry.data = data;
  return entry;
}

EntryRecipe UnixFile(const std::string& name, const std::string& data, std::uint32_t mode) {
  EntryRecipe entry = File(name, data);
  entry.versionMadeBy = kMadeOnUnix;
  entry.externalAttributes = mode << 16;
  return entry;
}

EntryRecipe Link(const std::string& name, const std::string& target) {
  EntryRecipe entry = File(name, target);
  entry.versionMadeBy = kMadeOnUnix;
  entry.externalAttributes = kLinkAttributes;
  return entry;
}

EntryRecipe Claiming(const std::string& name, std::uint64_t unpackedSize) {
  EntryRecipe entry = File(name, "x");
  entry.method = kStored;
  entry.zip64 = true;
  entry.raw = RawEntry{unpackedSize, 0};
  return entry;
}

ArchiveWriter::ArchiveWriter(const std::string& path) : zip_(zipOpen64(path.c_str(), APPEND_STATUS_CREATE)) {
  if (zip_ == nullptr) throw std::runtime_error("cannot create " + path);
}

ArchiveWriter::~ArchiveWriter() {
  if (zip_ != nullptr) zipClose(zip_, nullptr);
}

void ArchiveWriter::begin(const EntryRecipe& entry) {
  zip_fileinfo info{};
  info.dosDate = entry.dosDateTime;
  info.external_fa = entry.externalAttributes;
  const int level = entry.method == kStored ? 0 : Z_DEFAULT_COMPRESSION;
  const bool encrypt = !entry.password.empty();
  Check(zipOpenNewFileInZip4_64(zip_, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, entry.method, level,
                                entry.raw ? 1 : 0, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY,
                                encrypt ? entry.password.c_str() : nullptr, encrypt ? CrcOf(entry.data) : 0,
                                entry.versionMadeBy, entry.flags, entry.zip64 ? 1 : 0),
        "zipOpenNewFileInZip4_64");
}

void ArchiveWriter::write(const void* data, std::size_t size) {
  Check(zipWriteInFileInZip(zip_, data, static_cast<unsigned>(size)), "zipWriteInFileInZip");
}

void ArchiveWriter::finish(const EntryRecipe& entry) {
  if (entry.raw) {
    Check(zipCloseFileInZipRaw64(zip_, entry.raw->unpackedSize, entry.raw->crc), "zipCloseFileInZipRaw64");
  } else {
    Check(zipCloseFileInZip(zip_), "zipCloseFileInZip");
  }
}

void ArchiveWriter::add(const EntryRecipe& entry) {
  begin(entry);
  if (!entry.data.empty()) write(entry.data.data(), entry.data.size());
  finish(entry);
}

void ArchiveWriter::close() {
  const int result = zipClose(zip_, nullptr);
  zip_ = nullptr;
  Check(result, "zipClose");
}

void WriteArchive(const std::string& path, const std::vector<EntryRecipe>& entries) {
  ArchiveWriter writer(path);
  for (const EntryRecipe& entry : entries) writer.add(entry);
  writer.close();
}

// Walks the central directory from the end record; archives made here have
// no comment, so the end record is the last 22 bytes.
void SetMethod(std::string& archive, const std::string& name, std::uint16_t method) {
  const std::size_t end = archive.size() - 22;
  if (Read32(archive, end) != kEndOfDirectorySignature) throw std::runtime_error("no end record");
  std::size_t at = Read32(archive, end + 16);
  while (Read32(archive, at) == kCentralHeaderSignature) {
    const std::uint16_t nameLength = Read16(archive, at + 28);
    const std::size_t next = at + 46 + nameLength + Read16(archive, at + 30) + Read16(archive, at + 32);
    if (archive.compare(at + 46, nameLength, name) == 0) {
      Write16(archive, at + 10, method);
      Write16(archive, Read32(archive, at + 42) + 8, method);
      return;
    }
    at = next;
  }
  throw std::runtime_error("no entry " + name);
}

std::vector<std::uint8_t> AsBuffer(const std::string& bytes) {
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

}  // namespace zip_testing
