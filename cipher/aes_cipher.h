// AesCipher: the AES block cipher with 128-, 192- and 256-bit keys in ECB, CBC and CTR.
// The process-wide instance and its front ends: process_cipher.h.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

/// An AES key schedule and the block operations over it. Immutable after
/// construction, so one instance may serve several threads. Lengths are byte
/// counts; `in` and `out` may be the same buffer (but must not overlap
/// otherwise); `iv` is 16 bytes and is never changed. Failures throw a plain
/// int code before any byte of `out` is written.
class AesCipher {
 public:
  /// Expands `key` (keyBits / 8 bytes); throws 464 unless keyBits is 128, 192 or 256.
  AesCipher(const std::uint8_t* key, int keyBits);
  ~AesCipher();
  AesCipher(const AesCipher&) = delete;
  AesCipher& operator=(const AesCipher&) = delete;

  /// Encrypts each 16-byte block on its own; throws 490 unless len is a multiple of 16.
  void EncryptEcb(std::uint8_t* out, const std::uint8_t* in, int len) const;
  /// Decrypts each 16-byte block on its own; throws 512 unless len is a multiple of 16.
  void DecryptEcb(std::uint8_t* out, const std::uint8_t* in, int len) const;

  /// Cipher block chaining from `iv`; returns true; throws 534 unless len is a multiple of 16.
  bool EncryptCbc(std::uint8_t* out, const std::uint8_t* in, int len, const std::uint8_t* iv) const;
  /// Inverse of EncryptCbc; returns true; throws 553 unless len is a multiple of 16.
  bool DecryptCbc(std::uint8_t* out, const std::uint8_t* in, int len, const std::uint8_t* iv) const;

  /// XORs the encrypted 128-bit big-endian counter (starting at `iv`, wrapping
  /// after all ones) into the data; throws 572 unless len is a multiple of 16.
  void EncryptCtr(std::uint8_t* out, const std::uint8_t* in, int len, const std::uint8_t* iv) const;
  /// The same operation as EncryptCtr; throws 581 unless len is a multiple of 16.
  void DecryptCtr(std::uint8_t* out, const std::uint8_t* in, int len, const std::uint8_t* iv) const;

  /// ECB over whole blocks; a tail of 1 to 15 bytes is zero-filled to a block,
  /// encrypted, and cut back to its length (so the tail cannot be decrypted).
  /// Writes exactly len bytes; a negative len writes nothing.
  void EncryptEcbAnyLength(std::uint8_t* out, const std::uint8_t* in, int len) const;
  /// The same with DecryptEcb.
  void DecryptEcbAnyLength(std::uint8_t* out, const std::uint8_t* in, int len) const;

 private:
  void ExpandKey(const std::uint8_t* key);
  void EncryptBlock(std::uint8_t* out, const std::uint8_t* in) const;
  void DecryptBlock(std::uint8_t* out, const std::uint8_t* in) const;
  void EcbAnyLength(std::uint8_t* out, const std::uint8_t* in, int len, bool encrypt) const;

  /// 60 words of the key schedule, each stored most significant byte first;
  /// zero beyond the words the key length uses.
  std::unique_ptr<std::uint8_t[]> roundKeys;
  std::int32_t keyBits;
};

/// Text of the last failure this thread's AesCipher threw ("[AES] ..."); empty before any.
std::string AesFailureText();
