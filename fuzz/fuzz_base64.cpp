// Fuzzes the base64 decoder and DecryptText with any bytes: no read or write
// past the input, both decoders agree, and whatever decodes survives a round trip.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cipher/base64.h"
#include "cipher/cipher_text.h"
#include "cipher/process_cipher.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  CreateProcessCipher();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  const int len = static_cast<int>(size);
  // A copy of exactly `size` bytes, so that any read past the end is caught.
  const std::vector<char> text(data, data + size);

  const std::vector<std::uint8_t> bytes = Base64DecodeToBytes(text.data(), len);
  const std::string asString = Base64DecodeToString(text.data(), len);
  if (asString != std::string(bytes.begin(), bytes.end())) std::abort();
  // At most three bytes for every four characters, and two for a short last group.
  if (bytes.size() > size / 4 * 3 + 2) std::abort();

  const std::string encoded = Base64Encode(bytes.data(), static_cast<int>(bytes.size()));
  if (Base64DecodeToBytes(encoded.data(), static_cast<int>(encoded.size())) != bytes) std::abort();

  const std::string decrypted = DecryptText(std::string(text.begin(), text.end()));
  if (!decrypted.empty() && decrypted.back() == ' ') std::abort();

  const std::string plain(text.begin(), text.end());
  if (DecryptText(EncryptText(plain)) != TrimRight(plain, " ")) std::abort();
  return 0;
}
