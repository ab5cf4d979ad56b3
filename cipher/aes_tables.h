// The cipher's constant tables (S-boxes, round constants, GF(2^8) products),
// computed by the compiler so that no field arithmetic runs in the program.
#pragma once

#include <cstdint>

namespace aes {

/// Columns of a row of AesTables::mul: the row's byte times 2, 3, 9, 11, 13 and 14.
enum MulColumn : int { kTimes2 = 0, kTimes3, kTimes9, kTimes11, kTimes13, kTimes14 };

struct AesTables {
  std::uint8_t sbox[256];
  std::uint8_t invSbox[256];
  /// Most significant byte: the successive powers of x; the low three bytes are zero.
  std::uint32_t roundConstants[15];
  /// Row b: b times 2, 3, 9, 11, 13 and 14 in GF(2^8) modulo x^8 + x^4 + x^3 + x + 1.
  std::uint8_t mul[256][6];
};

namespace detail {

constexpr std::uint8_t Times2(std::uint8_t b) {
  return static_cast<std::uint8_t>((b << 1) ^ ((b & 0x80) != 0 ? 0x1B : 0x00));
}

constexpr std::uint8_t Multiply(std::uint8_t a, std::uint8_t b) {
  std::uint8_t product = 0;
  for (; b != 0; b = static_cast<std::uint8_t>(b >> 1), a = Times2(a)) {
    if ((b & 1) != 0) product = static_cast<std::uint8_t>(product ^ a);
  }
  return product;
}

constexpr std::uint8_t RotateLeft(std::uint8_t b, int n) {
  return static_cast<std::uint8_t>((b << n) | (b >> (8 - n)));
}

constexpr AesTables BuildTables() {
  AesTables t{};
  // Powers of the generator x + 1 give the multiplicative inverses through
  // their logarithms: inverse(g^i) = g^(255 - i).
  std::uint8_t power[255] = {};
  std::uint8_t log[256] = {};
  std::uint8_t p = 1;
  for (int i = 0; i < 255; ++i) {
    power[i] = p;
    log[p] = static_cast<std::uint8_t>(i);
    p = static_cast<std::uint8_t>(p ^ Times2(p));
  }
  for (int b = 0; b < 256; ++b) {
    const std::uint8_t inverse = b == 0 ? 0 : power[(255 - log[b]) % 255];
    const std::uint8_t s = static_cast<std::uint8_t>(inverse ^ RotateLeft(inverse, 1) ^ RotateLeft(inverse, 2) ^
                                                     RotateLeft(inverse, 3) ^ RotateLeft(inverse, 4) ^ 0x63);
    t.sbox[b] = s;
    t.invSbox[s] = static_cast<std::uint8_t>(b);
    const std::uint8_t factors[6] = {2, 3, 9, 11, 13, 14};
    for (int column = 0; column < 6; ++column) {
      t.mul[b][column] = Multiply(static_cast<std::uint8_t>(b), factors[column]);
    }
  }
  std::uint8_t constant = 1;
  for (std::uint32_t& word : t.roundConstants) {
    word = std::uint32_t{constant} << 24;
    constant = Times2(constant);
  }
  return t;
}

}  // namespace detail

inline constexpr AesTables kTables = detail::BuildTables();

}  // namespace aes
