// The process-wide AesCipher, its creation with the start-up line, and the CBC and CTR calls on it.
#include "cipher/process_cipher.h"

#include <cstdio>
#include <utility>

#include "platform/output_text.h"

namespace {

// "Start initialising AES", in the bytes of the log's fixed words
// (platform::FixedOutputText).
constexpr char kStartMessage[] = u8"开始初始化AES\n";

}  // namespace

const std::uint8_t ProcessCipherKey[16] = {0x5A, 0x3C, 0x96, 0x0F, 0xE1, 0x27, 0x48, 0xB3,
                                           0x6D, 0x91, 0xC4, 0x1E, 0x72, 0xA8, 0x35, 0xDB};

AesCipher* ProcessCipher = nullptr;

std::unique_ptr<AesCipher> CreateCipher() {
  std::printf("%s", platform::FixedOutputText(kStartMessage).c_str());
  return std::make_unique<AesCipher>(ProcessCipherKey, 128);
}

void DeleteCipher(std::unique_ptr<AesCipher> cipher) { cipher.reset(); }

void CreateProcessCipher() {
  // Released on purpose: the instance belongs to the process, not to a static
  // destructor that could run before its last user.
  if (ProcessCipher == nullptr) ProcessCipher = CreateCipher().release();
}

void ReleaseProcessCipher() { DeleteCipher(std::unique_ptr<AesCipher>(std::exchange(ProcessCipher, nullptr))); }

void ProcessEncryptCbc(std::uint8_t* out, const std::uint8_t* in, int len, const std::uint8_t* iv) {
  if (ProcessCipher != nullptr) ProcessCipher->EncryptCbc(out, in, len, iv);
}

void ProcessDecryptCbc(std::uint8_t* out, const std::uint8_t* in, int len, const std::uint8_t* iv) {
  if (ProcessCipher != nullptr) ProcessCipher->DecryptCbc(out, in, len, iv);
}

void ProcessEncryptCtr(std::uint8_t* out, const std::uint8_t* in, int len, const std::uint8_t* iv) {
  if (ProcessCipher != nullptr) ProcessCipher->EncryptCtr(out, in, len, iv);
}

void ProcessDecryptCtr(std::uint8_t* out, const std::uint8_t* in, int len, const std::uint8_t* iv) {
  if (ProcessCipher != nullptr) ProcessCipher->DecryptCtr(out, in, len, iv);
}
