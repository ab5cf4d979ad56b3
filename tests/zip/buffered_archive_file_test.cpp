// The archive file read through windows: every read, wherever it starts and
// however long, gives the bytes the file itself holds there.
#include "zip/buffered_archive_file.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/archive_file.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr std::size_t kWindow = 64 * 1024;

// Bytes that differ from their neighbours, so a read from the wrong place shows.
std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 251) & 0xFF);
  return bytes;
}

struct Step {
  std::uint64_t offset;
  int origin;
  std::size_t count;
};

}  // namespace

TEST(BufferedArchiveFile, ReadsWhatTheFileHoldsWhereverItSeeks) {
  testing_support::TempDir dir;
  const std::string contents = Pattern(3 * kWindow + 1000);
  testing_support::WriteFileBytes(dir.path() / "archive.bin", contents);
  zlib_filefunc64_def base{};
  platform::FillArchiveFileCallbacks(&base);
  BufferedArchiveFile file(base);
  zlib_filefunc64_def calls = file.callbacks();
  voidpf stream = calls.zopen64_file(calls.opaque, dir.str("archive.bin").c_str(),
                                     ZLIB_FILEFUNC_MODE_READ | ZLIB_FILEFUNC_MODE_EXISTING);
  ASSERT_NE(stream, nullptr);

  const std::uint64_t size = contents.size();
  const std::vector<Step> steps = {
      {0, ZLIB_FILEFUNC_SEEK_SET, 4},                // a header field
      {10, ZLIB_FILEFUNC_SEEK_CUR, 30},              // skipping forward
      {kWindow - 10, ZLIB_FILEFUNC_SEEK_SET, 20},    // across a window's end
      {22, ZLIB_FILEFUNC_SEEK_SET, 16384},           // minizip's data read
      {3 * kWindow - 5, ZLIB_FILEFUNC_SEEK_SET, 8},  // a third place: a window refilled
      {100, ZLIB_FILEFUNC_SEEK_SET, kWindow + 7},    // larger than a window
      {0, ZLIB_FILEFUNC_SEEK_END, 0},                // the end
      {22, ZLIB_FILEFUNC_SEEK_SET, 22},              // back where a window was
  };
  for (const Step& step : steps) {
    ASSERT_EQ(calls.zseek64_file(calls.opaque, stream, step.offset, step.origin), 0);
    const std::uint64_t at = calls.ztell64_file(calls.opaque, stream);
    std::string got(step.count, '\0');
    const uLong read = calls.zread_file(calls.opaque, stream, got.data(), static_cast<uLong>(step.count));
    const std::size_t expected = static_cast<std::size_t>(std::min<std::uint64_t>(step.count, size - at));
    ASSERT_EQ(read, expected) << "at " << at;
    EXPECT_EQ(got.substr(0, read), contents.substr(static_cast<std::size_t>(at), read)) << "at " << at;
    EXPECT_EQ(calls.ztell64_file(calls.opaque, stream), at + read);
  }
  ASSERT_EQ(calls.zseek64_file(calls.opaque, stream, 0, ZLIB_FILEFUNC_SEEK_END), 0);
  EXPECT_EQ(calls.ztell64_file(calls.opaque, stream), size);
  char beyond[8];
  EXPECT_EQ(calls.zread_file(calls.opaque, stream, beyond, sizeof beyond), 0u);
  EXPECT_EQ(calls.zclose_file(calls.opaque, stream), 0);
}
