// The process cipher's padding and text front ends.
#include "cipher/cipher_text.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cipher/base64.h"
#include "cipher/process_cipher.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Sequence(std::size_t length) {
  Bytes bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>(0x41 + i);
  return bytes;
}

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class CipherText : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::internal::CaptureStdout();
    CreateProcessCipher();
    testing::internal::GetCapturedStdout();
  }

  static Bytes Decrypt(const Bytes& data) { return DecryptEcbToBytes(data.data(), static_cast<int>(data.size())); }
};

TEST_F(CipherText, EcbBytesArePaddedWithSpacesToWholeBlocks) {
  const Bytes plain = Sequence(17);
  const Bytes cipher = EncryptEcbToBytes(plain.data(), 17);
  ASSERT_EQ(cipher.size(), 32u);
  EXPECT_EQ(Decrypt(cipher), Concat(plain, Bytes(15, ' ')));

  const Bytes whole = Sequence(32);
  Bytes expected = whole;
  ProcessCipher->EncryptEcb(expected.data(), expected.data(), 32);
  EXPECT_EQ(EncryptEcbToBytes(whole.data(), 32), expected);
  EXPECT_EQ(Decrypt(expected), whole);

  EXPECT_TRUE(EncryptEcbToBytes(plain.data(), 0).empty());
  EXPECT_TRUE(EncryptEcbToBytes(plain.data(), -3).empty());
  EXPECT_TRUE(DecryptEcbToBytes(expected.data(), 15).empty());
  EXPECT_TRUE(DecryptEcbToBytes(expected.data(), 0).empty());
  EXPECT_TRUE(DecryptEcbToBytes(expected.data(), -16).empty());
}

TEST_F(CipherText, ExplicitPadIsAddedBeforeSpacesAndCutUnchecked) {
  const Bytes data = Sequence(14);
  const Bytes pad3(3, 0x14);
  const Bytes cipher = EncryptBytes(data, 3);
  ASSERT_EQ(cipher.size(), 32u);
  EXPECT_EQ(Decrypt(cipher), Concat(Concat(data, pad3), Bytes(15, ' ')));
  EXPECT_EQ(DecryptBytes(cipher, 3), Concat(Concat(data, pad3), Bytes(12, ' ')));

  const Bytes exact = Sequence(13);
  EXPECT_EQ(DecryptBytes(EncryptBytes(exact, 3), 3), exact);
  EXPECT_EQ(EncryptBytes(exact, 0), EncryptEcbToBytes(exact.data(), 13));
  EXPECT_EQ(DecryptBytes(cipher, 0), Decrypt(cipher));

  for (const int bad : {16, -1, 100}) {
    EXPECT_TRUE(EncryptBytes(data, bad).empty()) << bad;
    EXPECT_TRUE(DecryptBytes(cipher, bad).empty()) << bad;
  }
  // What remains after the pad must be positive, and the data whole blocks.
  const Bytes oneBlock(cipher.begin(), cipher.begin() + 16);
  EXPECT_EQ(DecryptBytes(oneBlock, 15).size(), 1u);
  EXPECT_TRUE(DecryptBytes(Bytes(), 3).empty());
  EXPECT_TRUE(DecryptBytes(Bytes(cipher.begin(), cipher.begin() + 20), 3).empty());
  EXPECT_TRUE(DecryptBytes(Bytes(cipher.begin(), cipher.begin() + 2), 1).empty());
}

TEST_F(CipherText, TextRoundTripLosesOnlyTrailingSpaces) {
  const std::string texts[] = {"a", "exactly sixteen!", "update.exe --zipFile new.zip", std::string("zero\0inside", 11),
                               "\xBF\xAA\xCA\xBC GBK text"};
  for (const std::string& text : texts) {
    const std::string encrypted = EncryptText(text);
    EXPECT_EQ(encrypted.size() % 4, 0u);
    EXPECT_EQ(Base64DecodeToBytes(encrypted.data(), static_cast<int>(encrypted.size())).size() % 16, 0u);
    EXPECT_EQ(DecryptText(encrypted), text);
  }
  EXPECT_EQ(DecryptText(EncryptText("spaces at the end   ")), "spaces at the end");
  EXPECT_EQ(DecryptText(EncryptText("   ")), "");
  EXPECT_EQ(EncryptText(""), "");
  EXPECT_EQ(DecryptText(""), "");
  // Text that is not the base64 of whole blocks decrypts to nothing.
  EXPECT_EQ(DecryptText("Zm9vYmFy"), "");
  EXPECT_EQ(DecryptText("\xff\xfe not base64 at all"), "");
}

TEST(TrimRight, CutsOnlyTrailingCharactersOfTheSet) {
  EXPECT_EQ(TrimRight("text  ", " "), "text");
  EXPECT_EQ(TrimRight("  text", " "), "  text");
  EXPECT_EQ(TrimRight("text\t \t", " \t"), "text");
  EXPECT_EQ(TrimRight("    ", " "), "");
  EXPECT_EQ(TrimRight("", " "), "");
  EXPECT_EQ(TrimRight("text", ""), "text");
}

}  // namespace
