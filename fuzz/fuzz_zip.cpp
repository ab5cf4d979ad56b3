// libFuzzer target: any bytes as an archive in memory, listed, every entry read.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "zip/zip_reader.h"

// The reader's runtime errors and the buffer's length error are its answers
// to a bad archive; anything else escaping, or any sanitizer report, is a bug.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    ZipReader reader(std::vector<std::uint8_t>(data, data + size), "");
    for (const ArchiveEntry& entry : reader.listEntries()) {
      std::vector<std::uint8_t> buffer;
      try {
        reader.readEntryToBuffer(entry.entryName, buffer);
      } catch (const std::runtime_error&) {
      } catch (const std::length_error&) {
      }
    }
    reader.closeArchive();
  } catch (const std::runtime_error&) {
  }
  return 0;
}
