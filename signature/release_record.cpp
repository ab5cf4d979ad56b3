// The record is one line of decimal seconds; anything else there is damage,
// never taken for a missing record, which would let an older release back in.
#include "signature/release_record.h"

#include <cerrno>
#include <cstdlib>

#include "install/install.h"
#include "platform/entry_type.h"
#include "platform/file_open.h"
#include "platform/file_stream.h"
#include "platform/file_system.h"
#include "platform/system_error.h"
#include "signature/small_file.h"

namespace {

constexpr char kTimestampKey[] = "timestamp:";
constexpr std::size_t kMostDigits = 19;

// The decimal number `digits` is, when it is one that fits.
bool ReadSeconds(const std::string& digits, std::uint64_t& seconds) {
  if (digits.empty() || digits.size() > kMostDigits || digits.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  errno = 0;
  seconds = std::strtoull(digits.c_str(), nullptr, 10);
  return errno == 0;
}

}  // namespace

bool SigningTime(const std::string& trustedComment, std::uint64_t& seconds) {
  std::size_t at = 0;
  while ((at = trustedComment.find(kTimestampKey, at)) != std::string::npos) {
    if (at == 0 || trustedComment[at - 1] == '\t' || trustedComment[at - 1] == ' ') break;
    ++at;
  }
  if (at == std::string::npos) return false;
  const std::size_t from = at + sizeof kTimestampKey - 1;
  const std::size_t end = trustedComment.find_first_not_of("0123456789", from);
  return ReadSeconds(trustedComment.substr(from, end == std::string::npos ? std::string::npos : end - from), seconds);
}

std::string ReleaseRecordPath(const std::string& dstPath) {
  return dstPath + platform::kPathSeparator + kReleaseRecordName;
}

RecordState RecordedSigningTime(const std::string& dstPath, std::uint64_t& seconds, int& error) {
  const std::string path = ReleaseRecordPath(dstPath);
  error = 0;
  if (platform::EntryTypeOf(path) == platform::EntryType::kMissing) return RecordState::kNone;
  std::string text;
  if (!ReadSmallFile(path, text, error)) return RecordState::kDamaged;
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return ReadSeconds(text, seconds) ? RecordState::kRead : RecordState::kDamaged;
}

bool WriteReleaseRecord(const std::string& path, std::uint64_t seconds) {
  platform::UniqueFile file(platform::OpenFile(path, "wb"));
  if (!file) return false;
  const std::string line = std::to_string(seconds) + "\n";
  if (std::fwrite(line.data(), 1, line.size(), file.get()) != line.size()) return false;
  return std::fclose(file.release()) == 0;
}
