// The checks themselves, all by libsodium: Ed25519 signatures, and BLAKE2b-512
// for archives signed prehashed.
#include "signature/archive_verification.h"

#include <sodium.h>

#include <vector>

#include "platform/system_error.h"

namespace {

std::string ReadFailure() { return "cannot be read, error:" + std::to_string(platform::LastSystemError()); }

bool SignatureHolds(const SignatureBytes& signature, const unsigned char* message, std::size_t size,
                    const PublicKey& key) {
  return crypto_sign_verify_detached(signature.data(), message, size, key.key.data()) == 0;
}

// The archive's BLAKE2b-512 hash, into `hash`; a reason when it cannot be read.
std::string HashArchive(platform::HeldArchive& archive, unsigned char (&hash)[crypto_generichash_blake2b_BYTES_MAX]) {
  crypto_generichash_blake2b_state state;
  crypto_generichash_blake2b_init(&state, nullptr, 0, sizeof hash);
  for (;;) {
    const unsigned char* bytes = nullptr;
    const long long got = archive.next(bytes);
    if (got < 0) return ReadFailure();
    if (got == 0) break;
    crypto_generichash_blake2b_update(&state, bytes, static_cast<unsigned long long>(got));
  }
  crypto_generichash_blake2b_final(&state, hash, sizeof hash);
  return {};
}

// Every byte of the archive, into `bytes`; a reason when it cannot be read
// or is too large to be held.
std::string ReadWholeArchive(platform::HeldArchive& archive, std::vector<unsigned char>& bytes) {
  for (;;) {
    const unsigned char* next = nullptr;
    const long long got = archive.next(next);
    if (got < 0) return ReadFailure();
    if (got == 0) return {};
    if (bytes.size() + static_cast<std::uint64_t>(got) > kLegacyArchiveLimit) {
      return "larger than " + std::to_string(kLegacyArchiveLimit >> 20) +
             " MiB, the most a legacy signature is checked for: sign it prehashed (minisign without -l)";
    }
    bytes.insert(bytes.end(), next, next + got);
  }
}

}  // namespace

Verification VerifyArchive(platform::HeldArchive& archive, const PublicKey& key, const FileSignature& signature) {
  if (sodium_init() < 0) return {Blamed::kArchive, "the cryptography library could not start"};
  if (signature.keyId != key.keyId) return {Blamed::kSignature, "made with another key than update-key.pub"};
  std::vector<unsigned char> signedComment(signature.signature.begin(), signature.signature.end());
  signedComment.insert(signedComment.end(), signature.trustedComment.begin(), signature.trustedComment.end());
  if (!SignatureHolds(signature.globalSignature, signedComment.data(), signedComment.size(), key)) {
    return {Blamed::kSignature, "its trusted comment was changed after signing"};
  }
  std::string failure;
  bool holds = false;
  if (signature.prehashed) {
    unsigned char hash[crypto_generichash_blake2b_BYTES_MAX];
    failure = HashArchive(archive, hash);
    holds = failure.empty() && SignatureHolds(signature.signature, hash, sizeof hash, key);
  } else {
    std::vector<unsigned char> bytes;
    failure = ReadWholeArchive(archive, bytes);
    holds = failure.empty() && SignatureHolds(signature.signature, bytes.data(), bytes.size(), key);
  }
  if (failure.empty() && !archive.finish()) {
    failure = "cannot be copied for the extraction, error:" + std::to_string(platform::LastSystemError());
  }
  if (!failure.empty()) return {Blamed::kArchive, failure};
  if (!holds) return {Blamed::kArchive, "the signature does not match its bytes (changed after signing)"};
  return {};
}
