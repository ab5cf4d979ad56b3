// Whether a program file is an updater.
#include "UpGrade/updater_copy.h"

#include <cstring>
#include <vector>

#include "platform/file_identity.h"
#include "platform/file_open.h"
#include "platform/file_stream.h"
#include "platform/file_system.h"

namespace {

// Read side by side in blocks; the first difference ends the comparison.
bool SameBytes(const std::string& left, const std::string& right) {
  const platform::UniqueFile first(platform::OpenFile(left, "rb")), second(platform::OpenFile(right, "rb"));
  if (!first || !second) return false;
  constexpr std::size_t kBlock = 64 * 1024;
  std::vector<char> one(kBlock), other(kBlock);
  for (;;) {
    const std::size_t got = std::fread(one.data(), 1, kBlock, first.get());
    if (std::fread(other.data(), 1, kBlock, second.get()) != got) return false;
    if (std::memcmp(one.data(), other.data(), got) != 0) return false;
    if (got < kBlock) return std::ferror(first.get()) == 0 && std::ferror(second.get()) == 0;
  }
}

}  // namespace

bool IsUpdaterProgram(const std::string& programFile) {
  const platform::SystemRead<std::string> self = platform::ExecutablePath();
  return self.ok() && !programFile.empty() &&
         (platform::IsSameFile(programFile, self.value) || SameBytes(programFile, self.value));
}
