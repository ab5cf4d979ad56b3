// Archives for the zip tests: written with minizip's zip interface, and
// patched afterwards for what it will not write (other methods, bad sizes).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zip_testing {

/// 3 July 2024, 10:05:08 as an MS-DOS stamp.
constexpr std::uint32_t kJuly3rd2024 = 0x58E350A4;
/// "Version made by" of an entry made on Unix (host 3), format 2.0.
constexpr std::uint32_t kMadeOnUnix = (3u << 8) | 20u;
/// The Unix mode bits of an executable regular file, as stored in the top half
/// of the external attributes.
constexpr std::uint32_t kExecutableFileAttributes = 0100755u << 16;
/// The Unix mode of a symbolic link, as stored.
constexpr std::uint32_t kLinkAttributes = 0120777u << 16;

/// Bit 11 of an entry's flags: its name is stored in UTF-8.
constexpr std::uint32_t kUtf8NameFlag = 1u << 11;

constexpr int kStored = 0;
constexpr int kDeflated = 8;

/// Sizes and CRC written as given, with `data` taken as the compressed bytes.
struct RawEntry {
  std::uint64_t unpackedSize = 0;
  std::uint32_t crc = 0;
};

struct EntryRecipe {
  std::string name;
  std::string data;
  int method = kDeflated;
  std::uint32_t dosDateTime = kJuly3rd2024;
  std::uint32_t versionMadeBy = 20;  // MS-DOS host
  std::uint32_t externalAttributes = 0;
  std::uint32_t flags = 0;  // bit 0 marks the entry encrypted
  std::string password;     // not empty: encrypted with it (flag bit 0 set too)
  bool zip64 = false;
  std::optional<RawEntry> raw;
};

/// An entry `name` holding `data`, deflated, stamped kJuly3rd2024.
EntryRecipe File(const std::string& name, const std::string& data);

/// A file `name` holding `data` as an archive made on Unix stores it, with the
/// file type and permission bits `mode` (0100755 for a program).
EntryRecipe UnixFile(const std::string& name, const std::string& data, std::uint32_t mode);

/// A symbolic link `name` as an archive made on Unix with links kept stores
/// it: link type in its mode, the name it leads to as its data.
EntryRecipe Link(const std::string& name, const std::string& target);

/// A stored entry `name` that records `unpackedSize` bytes whatever it holds
/// (one byte): checks that go by recorded sizes need no test to write gigabytes.
EntryRecipe Claiming(const std::string& name, std::uint64_t unpackedSize);

/// A minizip zip handle writing one archive file; closed at the latest on destruction.
class ArchiveWriter {
 public:
  explicit ArchiveWriter(const std::string& path);
  ~ArchiveWriter();
  ArchiveWriter(const ArchiveWriter&) = delete;
  ArchiveWriter& operator=(const ArchiveWriter&) = delete;

  /// Starts an entry; its data follows with write(), and finish() ends it.
  void begin(const EntryRecipe& entry);
  void write(const void* data, std::size_t size);
  void finish(const EntryRecipe& entry);
  /// begin, write the whole of entry.data, finish.
  void add(const EntryRecipe& entry);
  void close();

 private:
  void* zip_;
};

/// Writes an archive of `entries` at `path`.
void WriteArchive(const std::string& path, const std::vector<EntryRecipe>& entries);

/// Sets the compression method of the entry named `name` in both its local
/// and its central header.
void SetMethod(std::string& archive, const std::string& name, std::uint16_t method);

/// The bytes as unsigned bytes, for the byte-buffer constructor.
std::vector<std::uint8_t> AsBuffer(const std::string& bytes);

}  // namespace zip_testing
