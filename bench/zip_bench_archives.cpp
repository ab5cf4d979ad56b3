// Writes the update archives the benchmarks time: 150 MiB in 2,001 files,
// 20,000 files of 1 to 4 KiB, and one file of 400 MiB; each holds the
// top-level folder update/ that an update installs.
#include <cstdint>
#include <exception>
#include <iostream>
#include <string>

#include "tests/zip/archive_builder.h"

using namespace zip_testing;

namespace {

// Update contents as they come: mostly incompressible (built programs,
// images) with runs of text. Deterministic, so every run times the same bytes.
class ContentSource {
 public:
  std::string next(std::size_t size) {
    std::string bytes;
    bytes.reserve(size);
    const std::size_t textRun = size / 8;
    while (bytes.size() + textRun < size) bytes += static_cast<char>(nextRandom() & 0xFF);
    while (bytes.size() < size) bytes += kText[bytes.size() % (sizeof kText - 1)];
    return bytes;
  }
  std::uint64_t nextRandom() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return state_;
  }

 private:
  static constexpr char kText[] = "The quick update replaces every file of the installation. ";
  std::uint64_t state_ = 0x9E3779B97F4A7C15ull;
};

EntryRecipe Directory(const std::string& name) {
  EntryRecipe entry = File(name, "");
  entry.method = kStored;
  return entry;
}

// `count` files of `averageSize` bytes (half to one and a half times that),
// spread over directories of a hundred files each, with their directory
// entries; with `topLevelSize`, also one program of that size at the top.
void WriteManyFiles(const std::string& path, int count, std::size_t averageSize, std::size_t topLevelSize,
                    ContentSource& source) {
  ArchiveWriter writer(path);
  writer.add(Directory("update/"));
  if (topLevelSize != 0) writer.add(File("update/app.bin", source.next(topLevelSize)));
  for (int i = 0; i < count; ++i) {
    const std::string folder = "update/d" + std::to_string(i / 100) + "/";
    if (i % 100 == 0) writer.add(Directory(folder));
    const std::size_t size = averageSize / 2 + source.nextRandom() % (averageSize + 1);
    writer.add(File(folder + "f" + std::to_string(i) + ".bin", source.next(size)));
  }
  writer.close();
}

void WriteOneEntry(const std::string& path, std::size_t size, ContentSource& source) {
  const EntryRecipe entry = File("update/one.bin", "");
  ArchiveWriter writer(path);
  writer.add(Directory("update/"));
  writer.begin(entry);
  constexpr std::size_t kPiece = 1 << 20;
  for (std::size_t written = 0; written < size; written += kPiece) {
    const std::string piece = source.next(kPiece);
    writer.write(piece.data(), piece.size());
  }
  writer.finish(entry);
  writer.close();
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::cerr << "usage: zip_bench_archives DIRECTORY\n";
    return 2;
  }
  const std::string directory = argv[1];
  try {
    ContentSource source;
    constexpr std::size_t kMiB = 1 << 20;
    WriteManyFiles(directory + "/many_files.zip", 2000, 74 * 1024, 2 * kMiB, source);
    WriteManyFiles(directory + "/small_files.zip", 20000, 2560, 0, source);
    WriteOneEntry(directory + "/one_large_entry.zip", 400 * kMiB, source);
  } catch (const std::exception& error) {
    std::cerr << "zip_bench_archives: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
