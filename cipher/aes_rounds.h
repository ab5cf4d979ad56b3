// The AES rounds on bytes, inline so that the mode loops of aes_cipher.cpp can
// take them in; only the cipher includes this header.
#pragma once

#include <cstdint>

#include "cipher/aes_tables.h"

namespace aes {

constexpr int kBlockSize = 16;

inline void XorBlock(std::uint8_t* out, const std::uint8_t* a, const std::uint8_t* b) {
  for (int i = 0; i < kBlockSize; ++i) out[i] = static_cast<std::uint8_t>(a[i] ^ b[i]);
}

// One column of MixColumns on the substituted, shifted bytes a0..a3, with the
// round key's column added.
inline void MixColumn(std::uint8_t* out, std::uint8_t a0, std::uint8_t a1, std::uint8_t a2, std::uint8_t a3,
                      const std::uint8_t* key) {
  const auto& m = kTables.mul;
  out[0] = static_cast<std::uint8_t>(m[a0][kTimes2] ^ m[a1][kTimes3] ^ a2 ^ a3 ^ key[0]);
  out[1] = static_cast<std::uint8_t>(a0 ^ m[a1][kTimes2] ^ m[a2][kTimes3] ^ a3 ^ key[1]);
  out[2] = static_cast<std::uint8_t>(a0 ^ a1 ^ m[a2][kTimes2] ^ m[a3][kTimes3] ^ key[2]);
  out[3] = static_cast<std::uint8_t>(m[a0][kTimes3] ^ a1 ^ a2 ^ m[a3][kTimes2] ^ key[3]);
}

// One column of InvMixColumns on the bytes a0..a3, which already hold the round key.
inline void InvMixColumn(std::uint8_t* out, std::uint8_t a0, std::uint8_t a1, std::uint8_t a2, std::uint8_t a3) {
  const auto& m = kTables.mul;
  out[0] = static_cast<std::uint8_t>(m[a0][kTimes14] ^ m[a1][kTimes11] ^ m[a2][kTimes13] ^ m[a3][kTimes9]);
  out[1] = static_cast<std::uint8_t>(m[a0][kTimes9] ^ m[a1][kTimes14] ^ m[a2][kTimes11] ^ m[a3][kTimes13]);
  out[2] = static_cast<std::uint8_t>(m[a0][kTimes13] ^ m[a1][kTimes9] ^ m[a2][kTimes14] ^ m[a3][kTimes11]);
  out[3] = static_cast<std::uint8_t>(m[a0][kTimes11] ^ m[a1][kTimes13] ^ m[a2][kTimes9] ^ m[a3][kTimes14]);
}

// Where byte i of the state comes from in ShiftRows and in InvShiftRows.
inline constexpr int kShifted[kBlockSize] = {0, 5, 10, 15, 4, 9, 14, 3, 8, 13, 2, 7, 12, 1, 6, 11};
inline constexpr int kUnshifted[kBlockSize] = {0, 13, 10, 7, 4, 1, 14, 11, 8, 5, 2, 15, 12, 9, 6, 3};

// The state is kept in input order: byte r + 4c is row r, column c, so a
// column of the state is four neighbouring bytes, as is a round-key word.
// The rounds alternate between two buffers, and the round count is a
// template argument, so that the compiler can lay every round out in full.
// A round: SubBytes and ShiftRows as the bytes are picked, then MixColumns
// and AddRoundKey.
inline void EncryptRound(std::uint8_t* next, const std::uint8_t* state, const std::uint8_t* key) {
  const std::uint8_t* s = kTables.sbox;
  MixColumn(next + 0, s[state[0]], s[state[5]], s[state[10]], s[state[15]], key + 0);
  MixColumn(next + 4, s[state[4]], s[state[9]], s[state[14]], s[state[3]], key + 4);
  MixColumn(next + 8, s[state[8]], s[state[13]], s[state[2]], s[state[7]], key + 8);
  MixColumn(next + 12, s[state[12]], s[state[1]], s[state[6]], s[state[11]], key + 12);
}

template <int kRounds>
void EncryptRounds(std::uint8_t* out, const std::uint8_t* in, const std::uint8_t* key) {
  std::uint8_t a[kBlockSize];
  std::uint8_t b[kBlockSize];
  XorBlock(a, in, key);
  EncryptRound(b, a, key + kBlockSize);
  for (int round = 2; round < kRounds; round += 2) {
    EncryptRound(a, b, key + kBlockSize * round);
    EncryptRound(b, a, key + kBlockSize * (round + 1));
  }
  key += kBlockSize * kRounds;
  const std::uint8_t* s = kTables.sbox;
  for (int i = 0; i < kBlockSize; ++i) {
    out[i] = static_cast<std::uint8_t>(s[b[kShifted[i]]] ^ key[i]);
  }
}

// InvShiftRows and InvSubBytes as the bytes are picked, AddRoundKey, then InvMixColumns.
inline void DecryptRound(std::uint8_t* next, const std::uint8_t* state, const std::uint8_t* key) {
  const std::uint8_t* s = kTables.invSbox;
  const auto pick = [&](int i) {
    return static_cast<std::uint8_t>(s[state[kUnshifted[i]]] ^ key[i]);
  };
  InvMixColumn(next + 0, pick(0), pick(1), pick(2), pick(3));
  InvMixColumn(next + 4, pick(4), pick(5), pick(6), pick(7));
  InvMixColumn(next + 8, pick(8), pick(9), pick(10), pick(11));
  InvMixColumn(next + 12, pick(12), pick(13), pick(14), pick(15));
}

// The straightforward inverse cipher: the rounds of the cipher undone in
// reverse order with the same schedule.
template <int kRounds>
void DecryptRounds(std::uint8_t* out, const std::uint8_t* in, const std::uint8_t* key) {
  std::uint8_t a[kBlockSize];
  std::uint8_t b[kBlockSize];
  XorBlock(a, in, key + kBlockSize * kRounds);
  DecryptRound(b, a, key + kBlockSize * (kRounds - 1));
  for (int round = kRounds - 2; round >= 1; round -= 2) {
    DecryptRound(a, b, key + kBlockSize * round);
    DecryptRound(b, a, key + kBlockSize * (round - 1));
  }
  const std::uint8_t* s = kTables.invSbox;
  for (int i = 0; i < kBlockSize; ++i) {
    out[i] = static_cast<std::uint8_t>(s[b[kUnshifted[i]]] ^ key[i]);
  }
}

}  // namespace aes
