// The process cipher's padding and base64 front ends.
#include "cipher/cipher_text.h"

#include <climits>
#include <cstring>

#include "cipher/base64.h"
#include "cipher/process_cipher.h"

namespace {

constexpr int kBlockSize = 16;
constexpr std::uint8_t kSpace = 0x20;
constexpr std::uint8_t kExplicitPad = 0x14;

bool IsPadCount(int padCount) { return padCount >= 0 && padCount < kBlockSize; }

// Sizes beyond the cipher's signed 32-bit lengths are refused, not truncated.
bool FitsLength(std::size_t size) { return size <= static_cast<std::size_t>(INT_MAX - kBlockSize); }

}  // namespace

std::vector<std::uint8_t> EncryptEcbToBytes(const std::uint8_t* in, int len) {
  if (ProcessCipher == nullptr || len < 0 || len > INT_MAX - kBlockSize) return {};
  const int padded = len % kBlockSize == 0 ? len : len - len % kBlockSize + kBlockSize;
  std::vector<std::uint8_t> out(static_cast<std::size_t>(padded), kSpace);
  if (len > 0) std::memcpy(out.data(), in, static_cast<std::size_t>(len));
  ProcessCipher->EncryptEcb(out.data(), out.data(), padded);
  return out;
}

std::vector<std::uint8_t> DecryptEcbToBytes(const std::uint8_t* in, int len) {
  if (ProcessCipher == nullptr || len <= 0 || len % kBlockSize != 0) return {};
  std::vector<std::uint8_t> out(static_cast<std::size_t>(len));
  ProcessCipher->DecryptEcb(out.data(), in, len);
  return out;
}

std::vector<std::uint8_t> EncryptBytes(const std::vector<std::uint8_t>& data, int padCount) {
  if (!IsPadCount(padCount) || !FitsLength(data.size() + kBlockSize)) return {};
  std::vector<std::uint8_t> padded(data);
  padded.resize(data.size() + static_cast<std::size_t>(padCount), kExplicitPad);
  return EncryptEcbToBytes(padded.data(), static_cast<int>(padded.size()));
}

std::vector<std::uint8_t> DecryptBytes(const std::vector<std::uint8_t>& data, int padCount) {
  if (!IsPadCount(padCount) || !FitsLength(data.size())) return {};
  std::vector<std::uint8_t> plain = DecryptEcbToBytes(data.data(), static_cast<int>(data.size()));
  const std::size_t pad = static_cast<std::size_t>(padCount);
  // Also covers data that could not be decrypted: nothing to cut the pad from.
  if (plain.size() <= pad) return {};
  plain.resize(plain.size() - pad);
  return plain;
}

std::string EncryptText(const std::string& text) {
  if (!FitsLength(text.size())) return {};
  const std::vector<std::uint8_t> cipher =
      EncryptEcbToBytes(reinterpret_cast<const std::uint8_t*>(text.data()), static_cast<int>(text.size()));
  return Base64Encode(cipher.data(), static_cast<int>(cipher.size()));
}

std::string DecryptText(const std::string& text) {
  if (!FitsLength(text.size())) return {};
  const std::vector<std::uint8_t> cipher = Base64DecodeToBytes(text.data(), static_cast<int>(text.size()));
  const std::vector<std::uint8_t> plain = DecryptEcbToBytes(cipher.data(), static_cast<int>(cipher.size()));
  return TrimRight(std::string(plain.begin(), plain.end()), " ");
}

std::string TrimRight(const std::string& text, const std::string& set) {
  const std::size_t last = text.find_last_not_of(set);
  return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}
