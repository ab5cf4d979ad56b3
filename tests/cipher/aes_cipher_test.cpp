// AesCipher: published known answers, in-place use, the counter, the tail, failure codes.
#include "cipher/aes_cipher.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FromHex(const std::string& hex) {
  Bytes bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

int KeyBits(const Bytes& key) { return static_cast<int>(key.size() * 8); }
int Length(const Bytes& data) { return static_cast<int>(data.size()); }

// The published example vectors of the block cipher, one block per key size.
TEST(AesCipher, BlockVectorsForAllKeySizes) {
  const Bytes plain = FromHex("00112233445566778899aabbccddeeff");
  const struct {
    const char* key;
    const char* cipher;
  } cases[] = {
      {"000102030405060708090a0b0c0d0e0f", "69c4e0d86a7b0430d8cdb78070b4c55a"},
      {"000102030405060708090a0b0c0d0e0f1011121314151617", "dda97ca4864cdfe06eaf70a0ec0d7191"},
      {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f", "8ea2b7ca516745bfeafc49904b496089"},
  };
  for (const auto& c : cases) {
    const Bytes key = FromHex(c.key);
    const AesCipher cipher(key.data(), KeyBits(key));
    Bytes out(16);
    cipher.EncryptEcb(out.data(), plain.data(), 16);
    EXPECT_EQ(out, FromHex(c.cipher)) << c.key;
    cipher.DecryptEcb(out.data(), out.data(), 16);
    EXPECT_EQ(out, plain) << c.key;
  }
}

enum class Mode { kEcb, kCbc, kCtr };

void Apply(const AesCipher& cipher, Mode mode, bool encrypt, Bytes& out, const Bytes& in, const Bytes& iv) {
  const int n = Length(in);
  switch (mode) {
    case Mode::kEcb:
      encrypt ? cipher.EncryptEcb(out.data(), in.data(), n) : cipher.DecryptEcb(out.data(), in.data(), n);
      break;
    case Mode::kCbc:
      EXPECT_TRUE(encrypt ? cipher.EncryptCbc(out.data(), in.data(), n, iv.data())
                          : cipher.DecryptCbc(out.data(), in.data(), n, iv.data()));
      break;
    case Mode::kCtr:
      encrypt ? cipher.EncryptCtr(out.data(), in.data(), n, iv.data())
              : cipher.DecryptCtr(out.data(), in.data(), n, iv.data());
      break;
  }
}

// The four-block mode vectors for 128- and 256-bit keys, both directions,
// with separate buffers and in place.
TEST(AesCipher, ModeVectorsEcbCbcCtrInBothDirectionsAndInPlace) {
  const Bytes plain = FromHex(
      "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
      "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710");
  const char* key128 = "2b7e151628aed2a6abf7158809cf4f3c";
  const char* key256 = "603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4";
  const char* cbcIv = "000102030405060708090a0b0c0d0e0f";
  const char* ctrIv = "f0f1f2f3f4f5f6f7f8f9fafbfcfdfeff";
  const struct {
    Mode mode;
    const char* key;
    const char* iv;
    const char* cipher;
  } cases[] = {
      {Mode::kEcb, key128, cbcIv,
       "3ad77bb40d7a3660a89ecaf32466ef97f5d3d58503b9699de785895a96fdbaaf"
       "43b1cd7f598ece23881b00e3ed0306887b0c785e27e8ad3f8223207104725dd4"},
      {Mode::kCbc, key128, cbcIv,
       "7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b2"
       "73bed6b8e3c1743b7116e69e222295163ff1caa1681fac09120eca307586e1a7"},
      {Mode::kCtr, key128, ctrIv,
       "874d6191b620e3261bef6864990db6ce9806f66b7970fdff8617187bb9fffdff"
       "5ae4df3edbd5d35e5b4f09020db03eab1e031dda2fbe03d1792170a0f3009cee"},
      {Mode::kEcb, key256, cbcIv,
       "f3eed1bdb5d2a03c064b5a7e3db181f8591ccb10d410ed26dc5ba74a31362870"
       "b6ed21b99ca6f4f9f153e7b1beafed1d23304b7a39f9f3ff067d8d8f9e24ecc7"},
      {Mode::kCbc, key256, cbcIv,
       "f58c4c04d6e5f1ba779eabfb5f7bfbd69cfc4e967edb808d679f777bc6702c7d"
       "39f23369a9d9bacfa530e26304231461b2eb05e2c39be9fcda6c19078c6a9d1b"},
      {Mode::kCtr, key256, ctrIv,
       "601ec313775789a5b7a7f504bbf3d228f443e3ca4d62b59aca84e990cacaf5c5"
       "2b0930daa23de94ce87017ba2d84988ddfc9c58db67aada613c2dd08457941a6"},
  };
  for (const auto& c : cases) {
    const Bytes key = FromHex(c.key);
    const AesCipher cipher(key.data(), KeyBits(key));
    const Bytes iv = FromHex(c.iv);
    const Bytes expected = FromHex(c.cipher);
    const std::string name = c.cipher;

    Bytes out(plain.size());
    Apply(cipher, c.mode, /*encrypt=*/true, out, plain, iv);
    EXPECT_EQ(out, expected) << name;
    Bytes back(plain.size());
    Apply(cipher, c.mode, /*encrypt=*/false, back, out, iv);
    EXPECT_EQ(back, plain) << name;

    Bytes inPlace = plain;
    Apply(cipher, c.mode, /*encrypt=*/true, inPlace, inPlace, iv);
    EXPECT_EQ(inPlace, expected) << name << " in place";
    Apply(cipher, c.mode, /*encrypt=*/false, inPlace, inPlace, iv);
    EXPECT_EQ(inPlace, plain) << name << " in place";
  }
}

// The keystream of a CTR block is the ECB encryption of its counter block, so
// the counter can be read off by encrypting zeros.
TEST(AesCipher, CounterCarriesIntoHigherBytesAndWrapsToZero) {
  const Bytes key = FromHex("2b7e151628aed2a6abf7158809cf4f3c");
  const AesCipher cipher(key.data(), 128);
  const auto keystream = [&](const Bytes& iv) {
    Bytes stream(48, 0);
    cipher.EncryptCtr(stream.data(), stream.data(), 48, iv.data());
    return stream;
  };
  const auto encryptedCounters = [&](const std::vector<std::string>& counters) {
    Bytes blocks;
    for (const std::string& hex : counters) {
      const Bytes block = FromHex(hex);
      blocks.insert(blocks.end(), block.begin(), block.end());
    }
    cipher.EncryptEcb(blocks.data(), blocks.data(), Length(blocks));
    return blocks;
  };

  EXPECT_EQ(keystream(FromHex("00000000000000000000000000fffffe")),
            encryptedCounters({"00000000000000000000000000fffffe", "00000000000000000000000000ffffff",
                               "00000000000000000000000001000000"}));
  EXPECT_EQ(keystream(FromHex("fffffffffffffffffffffffffffffffe")),
            encryptedCounters({"fffffffffffffffffffffffffffffffe", "ffffffffffffffffffffffffffffffff",
                               "00000000000000000000000000000000"}));
}

TEST(AesCipher, AnyLengthEncryptsTheTailAsAZeroFilledBlockCutToLength) {
  const Bytes key = FromHex("000102030405060708090a0b0c0d0e0f1011121314151617");
  const AesCipher cipher(key.data(), 192);
  Bytes plain(20);
  for (std::size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<std::uint8_t>(i * 7 + 1);

  Bytes out(plain.size() + 4, 0xEE);
  cipher.EncryptEcbAnyLength(out.data(), plain.data(), 20);
  Bytes head(plain.begin(), plain.begin() + 16);
  cipher.EncryptEcb(head.data(), head.data(), 16);
  Bytes tail(16, 0);
  std::copy(plain.begin() + 16, plain.end(), tail.begin());
  cipher.EncryptEcb(tail.data(), tail.data(), 16);
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 16), head);
  EXPECT_EQ(Bytes(out.begin() + 16, out.begin() + 20), Bytes(tail.begin(), tail.begin() + 4));
  EXPECT_EQ(Bytes(out.begin() + 20, out.end()), Bytes(4, 0xEE)) << "written past the length";

  Bytes inPlace = plain;
  cipher.EncryptEcbAnyLength(inPlace.data(), inPlace.data(), 20);
  EXPECT_EQ(inPlace, Bytes(out.begin(), out.begin() + 20));

  // The whole blocks come back; the cut tail cannot.
  cipher.DecryptEcbAnyLength(inPlace.data(), inPlace.data(), 20);
  EXPECT_EQ(Bytes(inPlace.begin(), inPlace.begin() + 16), Bytes(plain.begin(), plain.begin() + 16));
  EXPECT_NE(Bytes(inPlace.begin() + 16, inPlace.end()), Bytes(plain.begin() + 16, plain.end()));

  // Nothing at all for zero or a negative length.
  Bytes untouched(16, 0x5A);
  cipher.EncryptEcbAnyLength(untouched.data(), plain.data(), 0);
  cipher.DecryptEcbAnyLength(untouched.data(), plain.data(), -5);
  EXPECT_EQ(untouched, Bytes(16, 0x5A));
}

template <typename Call>
void ExpectFailure(int code, const std::string& text, Call call) {
  try {
    call();
    ADD_FAILURE() << "no failure, expected " << code;
  } catch (int thrown) {
    EXPECT_EQ(thrown, code);
    EXPECT_EQ(AesFailureText(), text) << code;
  }
}

TEST(AesCipher, RefusesBadKeyLengthsAndPartialBlocksWithoutWriting) {
  const Bytes key(32, 0x11);
  for (const int bits : {100, 0, -128, 64, 512}) {
    ExpectFailure(464, "[AES] Incorrect encryption key length: " + std::to_string(bits),
                  [&] { AesCipher cipher(key.data(), bits); });
  }

  const AesCipher cipher(key.data(), 256);
  const Bytes in(48, 0x22);
  const Bytes iv(16, 0x33);
  const std::string lengthText = "[AES] The length must be multiple of 16 bytes.";
  for (const int len : {15, 17, 47, -1}) {
    Bytes out(48, 0xA5);
    std::uint8_t* o = out.data();
    const std::uint8_t* i = in.data();
    ExpectFailure(490, lengthText, [&] { cipher.EncryptEcb(o, i, len); });
    ExpectFailure(512, lengthText, [&] { cipher.DecryptEcb(o, i, len); });
    ExpectFailure(534, lengthText, [&] { cipher.EncryptCbc(o, i, len, iv.data()); });
    ExpectFailure(553, lengthText, [&] { cipher.DecryptCbc(o, i, len, iv.data()); });
    ExpectFailure(572, lengthText, [&] { cipher.EncryptCtr(o, i, len, iv.data()); });
    ExpectFailure(581, lengthText, [&] { cipher.DecryptCtr(o, i, len, iv.data()); });
    EXPECT_EQ(out, Bytes(48, 0xA5)) << "written before failing, len " << len;
  }
}

}  // namespace
