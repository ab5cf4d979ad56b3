// Base64: the standard vectors, line breaks, padding, and input the encoder never makes.
#include "cipher/base64.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Decodes from a heap copy of exactly `text.size()` characters, with no
// terminator, so that the sanitizer lane sees any read past the length.
std::string Decode(const std::string& text) {
  const std::vector<char> exact(text.begin(), text.end());
  const std::string asString = Base64DecodeToString(exact.data(), static_cast<int>(exact.size()));
  const Bytes asBytes = Base64DecodeToBytes(exact.data(), static_cast<int>(exact.size()));
  EXPECT_EQ(asString, std::string(asBytes.begin(), asBytes.end())) << text;
  return asString;
}

std::string Encode(const std::string& bytes) {
  return Base64Encode(reinterpret_cast<const std::uint8_t*>(bytes.data()), static_cast<int>(bytes.size()));
}

TEST(Base64, StandardVectorsBothWays) {
  const std::pair<const char*, const char*> vectors[] = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"},
  };
  for (const auto& [plain, text] : vectors) {
    EXPECT_EQ(Encode(plain), text);
    EXPECT_EQ(Decode(text), plain);
  }
  EXPECT_EQ(Encode(std::string("\xfb\xff\x00", 3)), "+/8A");
  EXPECT_EQ(Decode("+/8A"), std::string("\xfb\xff\x00", 3));
}

TEST(Base64, RoundTripOfEveryByteValueAtEveryTailLength) {
  std::mt19937 random(7);
  for (int length = 0; length < 64; ++length) {
    std::string bytes;
    for (int i = 0; i < length; ++i) bytes += static_cast<char>(random());
    const std::string text = Encode(bytes);
    EXPECT_EQ(text.size() % 4, 0u);
    EXPECT_EQ(Decode(text), bytes) << length;
  }
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Decode(Encode(all)), all);
}

TEST(Base64, LineBreaksBetweenGroupsAreSkipped) {
  EXPECT_EQ(Decode("Zm9v\r\nYmFy"), "foobar");
  EXPECT_EQ(Decode("Zm9v\nYmFy\n"), "foobar");
  EXPECT_EQ(Decode("\r\n\r\nZg=="), "f");
  // Only where a group starts: inside a group a line break is a character worth 0.
  EXPECT_EQ(Decode("Zm\r\n"), Decode("ZmAA"));
}

TEST(Base64, PaddingEndsAGroupButNotTheText) {
  EXPECT_EQ(Decode("Zg=="), "f");
  EXPECT_EQ(Decode("Zg=x"), "f");
  EXPECT_EQ(Decode("Zm8="), "fo");
  EXPECT_EQ(Decode("Zg==Zm8="), "ffo");
}

TEST(Base64, ShortLastGroupReadsNothingPastTheLength) {
  EXPECT_EQ(Decode("Zm9vYmE"), "fooba");
  EXPECT_EQ(Decode("Zm9vYg"), "foob");
  EXPECT_EQ(Decode("Zm9vY"), "foo");
  EXPECT_EQ(Decode("Z"), "");
  // A length shorter than the text cuts it there.
  EXPECT_EQ(Base64DecodeToString("Zm9vYmFy", 6), "foob");
  EXPECT_EQ(Base64DecodeToString("Zm9vYmFy", 0), "");
  EXPECT_EQ(Base64DecodeToString("Zm9vYmFy", -4), "");
  EXPECT_EQ(Base64DecodeToString(nullptr, 0), "");
  EXPECT_EQ(Base64Encode(nullptr, 0), "");
}

TEST(Base64, CharactersOutsideTheAlphabetAreWorthZero) {
  const std::string zeros(3, '\0');
  EXPECT_EQ(Decode("AAAA"), zeros);
  EXPECT_EQ(Decode("\xff\xfe\x80{"), zeros);
  EXPECT_EQ(Decode("~|}\x7f"), zeros);
  EXPECT_EQ(Decode(std::string("\0\0\0\0", 4)), zeros);
  EXPECT_EQ(Decode("Z\xffv"), Decode("ZAv"));
}

}  // namespace
