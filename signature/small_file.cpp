// Read through the C library, with a cap: none of these files is more than a
// few lines, and a huge one is damage, not something to hold.
#include "signature/small_file.h"

#include "platform/file_open.h"
#include "platform/file_stream.h"
#include "platform/system_error.h"

namespace {

constexpr std::size_t kMostBytes = 64 * 1024;

}  // namespace

bool ReadSmallFile(const std::string& path, std::string& text, int& error) {
  error = 0;
  platform::UniqueFile file(platform::OpenFile(path, "rb"));
  if (!file) {
    error = platform::LastSystemError();
    return false;
  }
  text.assign(kMostBytes + 1, '\0');
  const std::size_t got = std::fread(&text[0], 1, text.size(), file.get());
  if (std::ferror(file.get())) {
    error = platform::LastSystemError();
    return false;
  }
  text.resize(got);
  return got <= kMostBytes;
}
