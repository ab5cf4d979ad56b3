// The two texts a vendor's signing tool writes: the public key file and the
// signature file beside an archive, read into their parts.
#pragma once

#include <array>
#include <string>

constexpr std::size_t kKeyIdSize = 8;
constexpr std::size_t kPublicKeySize = 32;
constexpr std::size_t kSignatureSize = 64;

using KeyId = std::array<unsigned char, kKeyIdSize>;
using SignatureBytes = std::array<unsigned char, kSignatureSize>;

/// An Ed25519 public key and the id its signatures name.
struct PublicKey {
  KeyId keyId{};
  std::array<unsigned char, kPublicKeySize> key{};
};

/// A signature of a file, and the signature of its trusted comment.
struct FileSignature {
  /// True for "ED": the key signed the file's BLAKE2b-512 hash; false for
  /// the legacy "Ed": it signed the file's bytes.
  bool prehashed = false;
  KeyId keyId{};
  SignatureBytes signature{};
  /// The text after "trusted comment: ", without the line's end.
  std::string trustedComment;
  /// Covers `signature` followed by `trustedComment`.
  SignatureBytes globalSignature{};
};

/// Reads a public key file: an untrusted comment line, then the base64 of
/// "Ed", the key id and the key. Empty when it is one; what is wrong otherwise.
std::string ReadPublicKey(const std::string& text, PublicKey& key);

/// Reads a signature file: an untrusted comment line, the base64 of the
/// algorithm, the key id and the signature, the trusted comment line and the
/// base64 of the global signature. Empty when it is one; what is wrong otherwise.
std::string ReadFileSignature(const std::string& text, FileSignature& signature);
