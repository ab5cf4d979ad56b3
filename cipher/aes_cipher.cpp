// AesCipher: construction, the ECB, CBC and CTR modes, and the failure codes.
#include "cipher/aes_cipher.h"

#include <cstdio>
#include <cstring>
#include <type_traits>

#include "cipher/aes_rounds.h"

namespace {

using aes::kBlockSize;
using aes::XorBlock;

constexpr int kScheduleBytes = 240;

thread_local std::string lastFailure;

[[noreturn]] void Fail(int code, const char* text) {
  lastFailure = text;
  throw code;
}

[[noreturn]] void FailKeyLength(int keyBits) {
  char text[512];
  std::snprintf(text, sizeof text, "[AES] Incorrect encryption key length: %d", keyBits);
  Fail(464, text);
}

// Checked before anything is written, so a refused call leaves `out` untouched.
void RequireWholeBlocks(int len, int code) {
  if (len % kBlockSize != 0) Fail(code, "[AES] The length must be multiple of 16 bytes.");
}

void IncrementCounter(std::uint8_t* counter) {
  for (int i = kBlockSize - 1; i >= 0; --i) {
    if (++counter[i] != 0) return;
  }
}

// Calls `run` with the round count of a key size as a compile-time constant,
// so each size gets its rounds laid out in full.
template <typename Run>
void WithRoundCount(int keyBits, Run run) {
  switch (keyBits) {
    case 128:
      run(std::integral_constant<int, 10>{});
      break;
    case 192:
      run(std::integral_constant<int, 12>{});
      break;
    default:
      run(std::integral_constant<int, 14>{});
      break;
  }
}

}  // namespace

std::string AesFailureText() { return lastFailure; }

AesCipher::AesCipher(const std::uint8_t* key, int bits)
    : roundKeys(std::make_unique<std::uint8_t[]>(kScheduleBytes)), keyBits(bits) {
  if (bits != 128 && bits != 192 && bits != 256) FailKeyLength(bits);
  ExpandKey(key);
}

AesCipher::~AesCipher() = default;

void AesCipher::EncryptBlock(std::uint8_t* out, const std::uint8_t* in) const {
  WithRoundCount(keyBits, [&](auto rounds) { aes::EncryptRounds<decltype(rounds)::value>(out, in, roundKeys.get()); });
}

void AesCipher::DecryptBlock(std::uint8_t* out, const std::uint8_t* in) const {
  WithRoundCount(keyBits, [&](auto rounds) { aes::DecryptRounds<decltype(rounds)::value>(out, in, roundKeys.get()); });
}

void AesCipher::EncryptEcb(std::uint8_t* out, const std::uint8_t* in, int len) const {
  RequireWholeBlocks(len, 490);
  for (int offset = 0; offset < len; offset += kBlockSize) EncryptBlock(out + offset, in + offset);
}

void AesCipher::DecryptEcb(std::uint8_t* out, const std::uint8_t* in, int len) const {
  RequireWholeBlocks(len, 512);
  for (int offset = 0; offset < len; offset += kBlockSize) DecryptBlock(out + offset, in + offset);
}

bool AesCipher::EncryptCbc(std::uint8_t* out, const std::uint8_t* in, int len, const std::uint8_t* iv) const {
  RequireWholeBlocks(len, 534);
  std::uint8_t chain[kBlockSize];
  std::memcpy(chain, iv, kBlockSize);
  for (int offset = 0; offset < len; offset += kBlockSize) {
    XorBlock(chain, chain, in + offset);
    EncryptBlock(chain, chain);
    std::memcpy(out + offset, chain, kBlockSize);
  }
  return true;
}

bool AesCipher::DecryptCbc(std::uint8_t* out, const std::uint8_t* in, int len, const std::uint8_t* iv) const {
  RequireWholeBlocks(len, 553);
  std::uint8_t chain[kBlockSize];
  std::memcpy(chain, iv, kBlockSize);
  for (int offset = 0; offset < len; offset += kBlockSize) {
    // Saved first: with out == in the plaintext overwrites this ciphertext block.
    std::uint8_t saved[kBlockSize];
    std::memcpy(saved, in + offset, kBlockSize);
    std::uint8_t plain[kBlockSize];
    DecryptBlock(plain, saved);
    XorBlock(out + offset, plain, chain);
    std::memcpy(chain, saved, kBlockSize);
  }
  return true;
}

void AesCipher::EncryptCtr(std::uint8_t* out, const std::uint8_t* in, int len, const std::uint8_t* iv) const {
  RequireWholeBlocks(len, 572);
  std::uint8_t counter[kBlockSize];
  std::memcpy(counter, iv, kBlockSize);
  for (int offset = 0; offset < len; offset += kBlockSize) {
    std::uint8_t stream[kBlockSize];
    EncryptBlock(stream, counter);
    XorBlock(out + offset, in + offset, stream);
    IncrementCounter(counter);
  }
}

void AesCipher::DecryptCtr(std::uint8_t* out, const std::uint8_t* in, int len, const std::uint8_t* iv) const {
  RequireWholeBlocks(len, 581);
  EncryptCtr(out, in, len, iv);
}

void AesCipher::EncryptEcbAnyLength(std::uint8_t* out, const std::uint8_t* in, int len) const {
  EcbAnyLength(out, in, len, /*encrypt=*/true);
}

void AesCipher::DecryptEcbAnyLength(std::uint8_t* out, const std::uint8_t* in, int len) const {
  EcbAnyLength(out, in, len, /*encrypt=*/false);
}

void AesCipher::EcbAnyLength(std::uint8_t* out, const std::uint8_t* in, int len, bool encrypt) const {
  if (len <= 0) return;
  const int whole = len - len % kBlockSize;
  if (encrypt) {
    EncryptEcb(out, in, whole);
  } else {
    DecryptEcb(out, in, whole);
  }
  const auto tailLength = static_cast<std::size_t>(len - whole);
  if (tailLength == 0) return;
  std::uint8_t tail[kBlockSize] = {};
  std::memcpy(tail, in + whole, tailLength);
  if (encrypt) {
    EncryptBlock(tail, tail);
  } else {
    DecryptBlock(tail, tail);
  }
  std::memcpy(out + whole, tail, tailLength);
}
