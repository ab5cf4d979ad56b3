// AesCipher: key expansion, the block cipher on bytes, and the ECB, CBC and CTR modes.
#include "util/aes_cipher.h"

#include <cstdio>
#include <cstring>

#include "util/aes_tables.h"

namespace {

using aes::kTables;

constexpr int kBlockSize = 16;
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

void ExpandKey(std::uint8_t* schedule, const std::uint8_t* key, int nk) {
  const int words = 4 * (nk + 7);
  std::memcpy(schedule, key, static_cast<std::size_t>(4 * nk));
  for (int i = nk; i < words; ++i) {
    const std::uint8_t* previous = schedule + 4 * (i - 1);
    std::uint8_t temp[4] = {previous[0], previous[1], previous[2], previous[3]};
    if (i % nk == 0) {
      // SubWord(RotWord(previous)) XOR round constant i / nk.
      const std::uint8_t first = temp[0];
      temp[0] = static_cast<std::uint8_t>(kTables.sbox[temp[1]] ^
                                          (kTables.roundConstants[i / nk - 1] >> 24));
      temp[1] = kTables.sbox[temp[2]];
      temp[2] = kTables.sbox[temp[3]];
      temp[3] = kTables.sbox[first];
    } else if (nk == 8 && i % nk == 4) {
      for (std::uint8_t& b : temp) b = kTables.sbox[b];
    }
    const std::uint8_t* back = schedule + 4 * (i - nk);
    for (int j = 0; j < 4; ++j) schedule[4 * i + j] = static_cast<std::uint8_t>(back[j] ^ temp[j]);
  }
}

void XorBlock(std::uint8_t* out, const std::uint8_t* a, const std::uint8_t* b) {
  for (int i = 0; i < kBlockSize; ++i) out[i] = static_cast<std::uint8_t>(a[i] ^ b[i]);
}

// One column of MixColumns on the substituted, shifted bytes a0..a3, with the
// round key's column added.
inline void MixColumn(std::uint8_t* out, std::uint8_t a0, std::uint8_t a1, std::uint8_t a2,
                      std::uint8_t a3, const std::uint8_t* key) {
  const auto& m = kTables.mul;
  using aes::kTimes2;
  using aes::kTimes3;
  out[0] = static_cast<std::uint8_t>(m[a0][kTimes2] ^ m[a1][kTimes3] ^ a2 ^ a3 ^ key[0]);
  out[1] = static_cast<std::uint8_t>(a0 ^ m[a1][kTimes2] ^ m[a2][kTimes3] ^ a3 ^ key[1]);
  out[2] = static_cast<std::uint8_t>(a0 ^ a1 ^ m[a2][kTimes2] ^ m[a3][kTimes3] ^ key[2]);
  out[3] = static_cast<std::uint8_t>(m[a0][kTimes3] ^ a1 ^ a2 ^ m[a3][kTimes2] ^ key[3]);
}

// One column of InvMixColumns on bytes that already hold the round key.
inline void InvMixColumn(std::uint8_t* out, const std::uint8_t* a) {
  const auto& m = kTables.mul;
  using aes::kTimes9;
  using aes::kTimes11;
  using aes::kTimes13;
  using aes::kTimes14;
  out[0] = static_cast<std::uint8_t>(m[a[0]][kTimes14] ^ m[a[1]][kTimes11] ^ m[a[2]][kTimes13] ^
                                     m[a[3]][kTimes9]);
  out[1] = static_cast<std::uint8_t>(m[a[0]][kTimes9] ^ m[a[1]][kTimes14] ^ m[a[2]][kTimes11] ^
                                     m[a[3]][kTimes13]);
  out[2] = static_cast<std::uint8_t>(m[a[0]][kTimes13] ^ m[a[1]][kTimes9] ^ m[a[2]][kTimes14] ^
                                     m[a[3]][kTimes11]);
  out[3] = static_cast<std::uint8_t>(m[a[0]][kTimes11] ^ m[a[1]][kTimes13] ^ m[a[2]][kTimes9] ^
                                     m[a[3]][kTimes14]);
}

void IncrementCounter(std::uint8_t* counter) {
  for (int i = kBlockSize - 1; i >= 0; --i) {
    if (++counter[i] != 0) return;
  }
}

}  // namespace

std::string AesFailureText() { return lastFailure; }

AesCipher::AesCipher(const std::uint8_t* key, int bits)
    : roundKeys(std::make_unique<std::uint8_t[]>(kScheduleBytes)), keyBits(bits) {
  if (bits != 128 && bits != 192 && bits != 256) FailKeyLength(bits);
  ExpandKey(roundKeys.get(), key, bits / 32);
}

AesCipher::~AesCipher() = default;

// The state is kept in input order: byte r + 4c is row r, column c, so a
// column of the state is four neighbouring bytes, as is a round-key word.
void AesCipher::EncryptBlock(std::uint8_t* out, const std::uint8_t* in) const {
  const std::uint8_t* key = roundKeys.get();
  const int rounds = keyBits / 32 + 6;
  const std::uint8_t* s = kTables.sbox;
  std::uint8_t state[kBlockSize];
  XorBlock(state, in, key);
  for (int round = 1; round < rounds; ++round) {
    key += kBlockSize;
    // SubBytes and ShiftRows as the bytes are picked, then MixColumns and AddRoundKey.
    std::uint8_t next[kBlockSize];
    MixColumn(next + 0, s[state[0]], s[state[5]], s[state[10]], s[state[15]], key + 0);
    MixColumn(next + 4, s[state[4]], s[state[9]], s[state[14]], s[state[3]], key + 4);
    MixColumn(next + 8, s[state[8]], s[state[13]], s[state[2]], s[state[7]], key + 8);
    MixColumn(next + 12, s[state[12]], s[state[1]], s[state[6]], s[state[11]], key + 12);
    std::memcpy(state, next, kBlockSize);
  }
  key += kBlockSize;
  static constexpr int kShifted[kBlockSize] = {0, 5, 10, 15, 4, 9, 14, 3, 8, 13, 2, 7, 12, 1, 6, 11};
  for (int i = 0; i < kBlockSize; ++i) {
    out[i] = static_cast<std::uint8_t>(s[state[kShifted[i]]] ^ key[i]);
  }
}

// The straightforward inverse cipher: the rounds of EncryptBlock undone in
// reverse order with the same schedule.
void AesCipher::DecryptBlock(std::uint8_t* out, const std::uint8_t* in) const {
  const int rounds = keyBits / 32 + 6;
  const std::uint8_t* key = roundKeys.get() + kBlockSize * rounds;
  const std::uint8_t* s = kTables.invSbox;
  static constexpr int kUnshifted[kBlockSize] = {0, 13, 10, 7, 4, 1, 14, 11,
                                                 8, 5,  2,  15, 12, 9, 6, 3};
  std::uint8_t state[kBlockSize];
  XorBlock(state, in, key);
  for (int round = rounds - 1; round >= 1; --round) {
    key -= kBlockSize;
    // InvShiftRows and InvSubBytes as the bytes are picked, AddRoundKey, then InvMixColumns.
    std::uint8_t keyed[kBlockSize];
    for (int i = 0; i < kBlockSize; ++i) {
      keyed[i] = static_cast<std::uint8_t>(s[state[kUnshifted[i]]] ^ key[i]);
    }
    InvMixColumn(state + 0, keyed + 0);
    InvMixColumn(state + 4, keyed + 4);
    InvMixColumn(state + 8, keyed + 8);
    InvMixColumn(state + 12, keyed + 12);
  }
  key -= kBlockSize;
  for (int i = 0; i < kBlockSize; ++i) {
    out[i] = static_cast<std::uint8_t>(s[state[kUnshifted[i]]] ^ key[i]);
  }
}

void AesCipher::EncryptEcb(std::uint8_t* out, const std::uint8_t* in, int len) const {
  RequireWholeBlocks(len, 490);
  for (int offset = 0; offset < len; offset += kBlockSize) EncryptBlock(out + offset, in + offset);
}

void AesCipher::DecryptEcb(std::uint8_t* out, const std::uint8_t* in, int len) const {
  RequireWholeBlocks(len, 512);
  for (int offset = 0; offset < len; offset += kBlockSize) DecryptBlock(out + offset, in + offset);
}

bool AesCipher::EncryptCbc(std::uint8_t* out, const std::uint8_t* in, int len,
                           const std::uint8_t* iv) const {
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

bool AesCipher::DecryptCbc(std::uint8_t* out, const std::uint8_t* in, int len,
                           const std::uint8_t* iv) const {
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

void AesCipher::EncryptCtr(std::uint8_t* out, const std::uint8_t* in, int len,
                           const std::uint8_t* iv) const {
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

void AesCipher::DecryptCtr(std::uint8_t* out, const std::uint8_t* in, int len,
                           const std::uint8_t* iv) const {
  RequireWholeBlocks(len, 581);
  EncryptCtr(out, in, len, iv);
}

void AesCipher::EncryptEcbAnyLength(std::uint8_t* out, const std::uint8_t* in, int len) const {
  EcbAnyLength(out, in, len, /*encrypt=*/true);
}

void AesCipher::DecryptEcbAnyLength(std::uint8_t* out, const std::uint8_t* in, int len) const {
  EcbAnyLength(out, in, len, /*encrypt=*/false);
}

void AesCipher::EcbAnyLength(std::uint8_t* out, const std::uint8_t* in, int len,
                             bool encrypt) const {
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
