// ZIP64: an entry over 4 GiB, an entry past 4 GiB into the archive, and more
// than 65535 entries. Slow and disk-hungry by nature, so a program of its own.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <zlib.h>

#include "tests/support/temp_dir.h"
#include "tests/zip/archive_builder.h"
#include "zip/zip_reader.h"

using namespace zip_testing;

namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t kMiB = 1u << 20;
constexpr std::uint64_t kBeyond4GiB = 4097 * kMiB;
constexpr std::uint32_t kZip64Marker = 0xFFFFFFFF;

// CRC-32 of `mebibytes` MiB of zero bytes, combined a MiB at a time.
std::uint32_t CrcOfZeroMebibytes(std::uint64_t mebibytes) {
  const std::vector<Bytef> zeros(kMiB, 0);
  const uLong oneMiB = crc32(crc32(0, nullptr, 0), zeros.data(), static_cast<uInt>(kMiB));
  uLong crc = crc32(0, nullptr, 0);
  for (std::uint64_t i = 0; i < mebibytes; ++i) crc = crc32_combine(crc, oneMiB, static_cast<z_off_t>(kMiB));
  return static_cast<std::uint32_t>(crc);
}

// Raw deflate data of one MiB of zeros ending on a byte boundary with the
// dictionary reset (a full flush), so copies of it can follow one another;
// and the final empty block that ends such a stream.
struct ZeroDeflateBlocks {
  std::string oneMiB;
  std::string finish;
};

ZeroDeflateBlocks MakeZeroDeflateBlocks() {
  z_stream stream{};
  deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::vector<Bytef> zeros(kMiB, 0);
  std::vector<Bytef> out(64 * 1024);
  ZeroDeflateBlocks blocks;
  auto run = [&](int flush, std::string& into) {
    do {
      stream.next_out = out.data();
      stream.avail_out = static_cast<uInt>(out.size());
      deflate(&stream, flush);
      into.append(reinterpret_cast<char*>(out.data()), out.size() - stream.avail_out);
    } while (stream.avail_out == 0);
  };
  stream.next_in = zeros.data();
  stream.avail_in = static_cast<uInt>(kMiB);
  run(Z_FULL_FLUSH, blocks.oneMiB);
  run(Z_FINISH, blocks.finish);
  deflateEnd(&stream);
  return blocks;
}

// Little-endian fields of hand-made archive records.
class Record {
 public:
  Record& u16(std::uint64_t value) { return put(value, 2); }
  Record& u32(std::uint64_t value) { return put(value, 4); }
  Record& u64(std::uint64_t value) { return put(value, 8); }
  Record& text(const std::string& value) {
    bytes_ += value;
    return *this;
  }
  const std::string& bytes() const { return bytes_; }

 private:
  Record& put(std::uint64_t value, int count) {
    for (int i = 0; i < count; ++i) bytes_ += static_cast<char>((value >> (8 * i)) & 0xFF);
    return *this;
  }
  std::string bytes_;
};

// Two stored entries: "hole.bin", 4 GiB and 1 MiB of zeros left as a hole in
// a sparse file, and "after.txt" behind it, so its header lies past 4 GiB.
void WriteArchiveWithEntryPast4GiB(const std::string& path, const std::string& afterText) {
  const std::string hole = "hole.bin";
  const std::string after = "after.txt";
  const std::uint32_t holeCrc = CrcOfZeroMebibytes(kBeyond4GiB / kMiB);
  const std::uint32_t afterCrc = static_cast<std::uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(afterText.data()), static_cast<uInt>(afterText.size())));
  auto local = [](const std::string& name, std::uint32_t crc, std::uint32_t size, const std::string& extra) {
    return Record()
        .u32(0x04034b50)
        .u16(45)
        .u16(0)
        .u16(0)
        .u16(kJuly3rd2024 & 0xFFFF)
        .u16(kJuly3rd2024 >> 16)
        .u32(crc)
        .u32(size)
        .u32(size)
        .u16(name.size())
        .u16(extra.size())
        .text(name)
        .text(extra)
        .bytes();
  };
  auto central = [](const std::string& name, std::uint32_t crc, std::uint32_t size, std::uint32_t offset,
                    const std::string& extra) {
    return Record()
        .u32(0x02014b50)
        .u16(45)
        .u16(45)
        .u16(0)
        .u16(0)
        .u16(kJuly3rd2024 & 0xFFFF)
        .u16(kJuly3rd2024 >> 16)
        .u32(crc)
        .u32(size)
        .u32(size)
        .u16(name.size())
        .u16(extra.size())
        .u16(0)
        .u16(0)
        .u16(0)
        .u32(0)
        .u32(offset)
        .text(name)
        .text(extra)
        .bytes();
  };
  const std::string holeSizes = Record().u16(1).u16(16).u64(kBeyond4GiB).u64(kBeyond4GiB).bytes();
  const std::string holeLocal = local(hole, holeCrc, kZip64Marker, holeSizes);
  const std::uint64_t afterOffset = holeLocal.size() + kBeyond4GiB;
  const std::string afterLocal = local(after, afterCrc, static_cast<std::uint32_t>(afterText.size()), "");
  const std::string directory = central(hole, holeCrc, kZip64Marker, 0, holeSizes) +
                                central(after, afterCrc, static_cast<std::uint32_t>(afterText.size()), kZip64Marker,
                                        Record().u16(1).u16(8).u64(afterOffset).bytes());
  const std::uint64_t directoryOffset = afterOffset + afterLocal.size() + afterText.size();
  const std::uint64_t zip64EndOffset = directoryOffset + directory.size();
  const std::string ends = Record()
                               .u32(0x06064b50)
                               .u64(44)
                               .u16(45)
                               .u16(45)
                               .u32(0)
                               .u32(0)
                               .u64(2)
                               .u64(2)
                               .u64(directory.size())
                               .u64(directoryOffset)
                               .u32(0x07064b50)
                               .u32(0)
                               .u64(zip64EndOffset)
                               .u32(1)
                               .u32(0x06054b50)
                               .u16(0)
                               .u16(0)
                               .u16(2)
                               .u16(2)
                               .u32(directory.size())
                               .u32(kZip64Marker)
                               .u16(0)
                               .bytes();

  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << holeLocal;
  out.seekp(static_cast<std::streamoff>(afterOffset));
  out << afterLocal << afterText << directory << ends;
  ASSERT_TRUE(out.good());
}

// Entries "e/0", "e/1", ... each holding its own number, stored.
void WriteNumberedEntries(const std::string& archive, int count) {
  ArchiveWriter writer(archive);
  for (int i = 0; i < count; ++i) {
    EntryRecipe entry = File("e/" + std::to_string(i), std::to_string(i));
    entry.method = kStored;
    writer.add(entry);
  }
  writer.close();
}

}  // namespace

// The entry streams through 8192-byte chunks; its CRC is checked on close,
// so every byte of it was read back right.
TEST(Zip64, ExtractsAnEntryLargerThan4GiB) {
  testing_support::TempDir dir;
  const std::string archive = dir.str("huge.zip");
  {
    const ZeroDeflateBlocks blocks = MakeZeroDeflateBlocks();
    EntryRecipe huge = File("big/huge.bin", "");
    huge.zip64 = true;
    huge.raw = RawEntry{kBeyond4GiB, CrcOfZeroMebibytes(kBeyond4GiB / kMiB)};
    ArchiveWriter writer(archive);
    writer.begin(huge);
    for (std::uint64_t i = 0; i < kBeyond4GiB / kMiB; ++i) writer.write(blocks.oneMiB.data(), blocks.oneMiB.size());
    writer.write(blocks.finish.data(), blocks.finish.size());
    writer.finish(huge);
    writer.close();
  }
  ZipReader reader(archive, "");
  const std::vector<ArchiveEntry> entries = reader.listEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].unpackedSize, kBeyond4GiB);
  EXPECT_LT(entries[0].packedSize, 16 * kMiB);

  ASSERT_TRUE(reader.extractAll(dir.str("out")));
  EXPECT_EQ(fs::file_size(dir.path() / "out" / "big" / "huge.bin"), kBeyond4GiB);
}

TEST(Zip64, ReadsAnEntryThatStartsPast4GiB) {
  testing_support::TempDir dir;
  const std::string archive = dir.str("sparse.zip");
  WriteArchiveWithEntryPast4GiB(archive, "found past the hole");
  ZipReader reader(archive, "");
  const std::vector<ArchiveEntry> entries = reader.listEntries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].unpackedSize, kBeyond4GiB);
  EXPECT_EQ(entries[1].entryName, "after.txt");

  std::vector<std::uint8_t> buffer;
  ASSERT_TRUE(reader.readEntryToBuffer("after.txt", buffer));
  EXPECT_EQ(std::string(buffer.begin(), buffer.end()), "found past the hole");
  ASSERT_TRUE(reader.extractOne("after.txt", dir.str("out")));
  EXPECT_EQ(testing_support::ReadFileBytes(dir.path() / "out" / "after.txt"), "found past the hole");
}

// More than 65535 entries need the ZIP64 end records to be counted.
TEST(Zip64, ListsMoreThan65535Entries) {
  testing_support::TempDir dir;
  const std::string archive = dir.str("many.zip");
  constexpr int kCount = 65600;
  WriteNumberedEntries(archive, kCount);
  ZipReader reader(archive, "");
  const std::vector<ArchiveEntry> entries = reader.listEntries();
  ASSERT_EQ(entries.size(), static_cast<std::size_t>(kCount));
  EXPECT_EQ(entries.back().entryName, "e/65599");
  std::vector<std::uint8_t> buffer;
  ASSERT_TRUE(reader.readEntryToBuffer("e/65599", buffer));
  EXPECT_EQ(std::string(buffer.begin(), buffer.end()), "65599");
}

// With exactly 65535 entries the end record's count is the ZIP64 marker, and
// the listing runs off the directory's end; lookups after it must still work.
TEST(Zip64, LooksUpEntriesAfterAListingOf65535) {
  testing_support::TempDir dir;
  const std::string archive = dir.str("marker.zip");
  constexpr int kCount = 65535;
  WriteNumberedEntries(archive, kCount);
  ZipReader reader(archive, "");
  ASSERT_EQ(reader.listEntries().size(), static_cast<std::size_t>(kCount));
  std::vector<std::uint8_t> buffer;
  ASSERT_TRUE(reader.readEntryToBuffer("e/65534", buffer));
  EXPECT_EQ(std::string(buffer.begin(), buffer.end()), "65534");
}
