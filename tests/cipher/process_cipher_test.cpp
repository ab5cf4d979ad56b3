// The process-wide cipher: the start-up line once per process, its key, and the calls on it.
#include "cipher/process_cipher.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cipher/cipher_text.h"
#include "tests/support/log_words.h"
#include "util/module_context.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string& kStartLine = testing_support::kLogStartup;

void EnsureProcessCipher() {
  testing::internal::CaptureStdout();
  CreateProcessCipher();
  testing::internal::GetCapturedStdout();
}

TEST(ProcessCipher, StartUpPrintsTheLineOnceAndKeepsTheFirstCipher) {
  ReleaseProcessCipher();
  const std::filesystem::path savedDir = std::filesystem::current_path();
  testing::internal::CaptureStdout();
  InitModuleContext();
  const AesCipher* first = ProcessCipher;
  InitModuleContext();
  const std::string printed = testing::internal::GetCapturedStdout();
  std::filesystem::current_path(savedDir);

  EXPECT_EQ(printed, kStartLine);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(ProcessCipher, first);
}

TEST(ProcessCipher, CreatedCiphersUseTheBuiltInKey) {
  EnsureProcessCipher();
  testing::internal::CaptureStdout();
  std::unique_ptr<AesCipher> created = CreateCipher();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), kStartLine);

  const AesCipher reference(ProcessCipherKey, 128);
  Bytes expected(32, 0x61);
  reference.EncryptEcb(expected.data(), expected.data(), 32);
  for (const AesCipher* cipher :
       {static_cast<const AesCipher*>(created.get()), static_cast<const AesCipher*>(ProcessCipher)}) {
    Bytes block(32, 0x61);
    cipher->EncryptEcb(block.data(), block.data(), 32);
    EXPECT_EQ(block, expected);
  }
  DeleteCipher(std::move(created));
  DeleteCipher(nullptr);
}

TEST(ProcessCipher, ChainedCallsUseTheInstanceAndPassLengthFailuresOn) {
  EnsureProcessCipher();
  const Bytes in(48, 0x17);
  const Bytes iv(16, 0xF0);
  Bytes expected(96);
  ProcessCipher->EncryptCbc(expected.data(), in.data(), 48, iv.data());
  ProcessCipher->EncryptCtr(expected.data() + 48, in.data(), 48, iv.data());
  Bytes out(96);
  ProcessEncryptCbc(out.data(), in.data(), 48, iv.data());
  ProcessEncryptCtr(out.data() + 48, in.data(), 48, iv.data());
  EXPECT_EQ(out, expected);
  ProcessDecryptCbc(out.data(), out.data(), 48, iv.data());
  ProcessDecryptCtr(out.data() + 48, out.data() + 48, 48, iv.data());
  EXPECT_EQ(out, Bytes(96, 0x17));

  EXPECT_THROW(ProcessEncryptCbc(out.data(), in.data(), 15, iv.data()), int);
  EXPECT_THROW(ProcessDecryptCbc(out.data(), in.data(), 15, iv.data()), int);
  EXPECT_THROW(ProcessEncryptCtr(out.data(), in.data(), 15, iv.data()), int);
  EXPECT_THROW(ProcessDecryptCtr(out.data(), in.data(), 15, iv.data()), int);
}

TEST(ProcessCipher, EveryCallAnswersEmptyOrDoesNothingWithoutTheInstance) {
  ReleaseProcessCipher();
  ReleaseProcessCipher();
  EXPECT_EQ(ProcessCipher, nullptr);

  const Bytes in(32, 0x01);
  const Bytes iv(16, 0x02);
  Bytes out(32, 0xCC);
  ProcessEncryptCbc(out.data(), in.data(), 32, iv.data());
  ProcessDecryptCbc(out.data(), in.data(), 15, iv.data());
  ProcessEncryptCtr(out.data(), in.data(), 32, iv.data());
  ProcessDecryptCtr(out.data(), in.data(), 15, iv.data());
  EXPECT_EQ(out, Bytes(32, 0xCC));
  EXPECT_TRUE(EncryptEcbToBytes(in.data(), 32).empty());
  EXPECT_TRUE(DecryptEcbToBytes(in.data(), 32).empty());
  EXPECT_TRUE(EncryptBytes(in, 4).empty());
  EXPECT_TRUE(DecryptBytes(in, 4).empty());
  EXPECT_EQ(EncryptText("text"), "");
  EXPECT_EQ(DecryptText("AAAAAAAAAAAAAAAAAAAAAA=="), "");

  EnsureProcessCipher();
  EXPECT_NE(ProcessCipher, nullptr);
}

}  // namespace
