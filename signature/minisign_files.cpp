// The signing tool's texts read strictly: a line that is not where it must
// be, or base64 that does not give exactly the bytes expected, is damage.
#include "signature/minisign_files.h"

#include <sodium.h>

#include <cstring>
#include <vector>

namespace {

constexpr char kUntrustedPrefix[] = "untrusted comment: ";
constexpr char kTrustedPrefix[] = "trusted comment: ";

// The text's lines, without their ends (LF or CR LF).
std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  while (from < text.size()) {
    std::size_t end = text.find('\n', from);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(from, end - from);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    from = end + 1;
  }
  return lines;
}

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// Exactly `size` bytes from the whole of `base64`, or false.
bool DecodeExactly(const std::string& base64, unsigned char* bytes, std::size_t size) {
  std::vector<unsigned char> decoded(size + 3);
  std::size_t length = 0;
  const char* end = nullptr;
  if (sodium_base642bin(decoded.data(), decoded.size(), base64.data(), base64.size(), nullptr, &length, &end,
                        sodium_base64_VARIANT_ORIGINAL) != 0) {
    return false;
  }
  if (end != base64.data() + base64.size() || length != size) return false;
  std::memcpy(bytes, decoded.data(), size);
  return true;
}

}  // namespace

std::string ReadPublicKey(const std::string& text, PublicKey& key) {
  const std::vector<std::string> lines = LinesOf(text);
  unsigned char bytes[2 + kKeyIdSize + kPublicKeySize];
  if (lines.size() < 2 || !StartsWith(lines[0], kUntrustedPrefix) || !DecodeExactly(lines[1], bytes, sizeof bytes)) {
    return "not a public key (a comment line, then the key in base64)";
  }
  if (bytes[0] != 'E' || bytes[1] != 'd') return "not an Ed25519 key";
  std::memcpy(key.keyId.data(), bytes + 2, kKeyIdSize);
  std::memcpy(key.key.data(), bytes + 2 + kKeyIdSize, kPublicKeySize);
  return {};
}

std::string ReadFileSignature(const std::string& text, FileSignature& signature) {
  const std::vector<std::string> lines = LinesOf(text);
  unsigned char bytes[2 + kKeyIdSize + kSignatureSize];
  if (lines.size() < 4 || !StartsWith(lines[0], kUntrustedPrefix) || !DecodeExactly(lines[1], bytes, sizeof bytes) ||
      !StartsWith(lines[2], kTrustedPrefix) ||
      !DecodeExactly(lines[3], signature.globalSignature.data(), kSignatureSize)) {
    return "not a signature (four lines: comment, signature, trusted comment, its signature)";
  }
  if (bytes[0] != 'E' || (bytes[1] != 'D' && bytes[1] != 'd')) return "not an Ed25519 signature";
  signature.prehashed = bytes[1] == 'D';
  std::memcpy(signature.keyId.data(), bytes + 2, kKeyIdSize);
  std::memcpy(signature.signature.data(), bytes + 2 + kKeyIdSize, kSignatureSize);
  signature.trustedComment = lines[2].substr(std::strlen(kTrustedPrefix));
  return {};
}
