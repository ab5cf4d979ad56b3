// Throughput of AesCipher in ECB, CBC and CTR on 1 MiB, for each key size.
#include <cstdint>
#include <vector>

#include <benchmark/benchmark.h>

#include "cipher/aes_cipher.h"

namespace {

constexpr int kMiB = 1 << 20;

enum class Mode { kEcbEncrypt, kEcbDecrypt, kCbcEncrypt, kCbcDecrypt, kCtr };

template <Mode mode>
void Throughput(benchmark::State& state) {
  const int keyBits = static_cast<int>(state.range(0));
  std::vector<std::uint8_t> key(static_cast<std::size_t>(keyBits / 8));
  for (std::size_t i = 0; i < key.size(); ++i) key[i] = static_cast<std::uint8_t>(i * 13 + 5);
  const AesCipher cipher(key.data(), keyBits);
  std::vector<std::uint8_t> data(kMiB);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 31);
  const std::uint8_t iv[16] = {0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7,
                               0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF};
  std::uint8_t* buffer = data.data();
  for (auto _ : state) {
    switch (mode) {
      case Mode::kEcbEncrypt:
        cipher.EncryptEcb(buffer, buffer, kMiB);
        break;
      case Mode::kEcbDecrypt:
        cipher.DecryptEcb(buffer, buffer, kMiB);
        break;
      case Mode::kCbcEncrypt:
        cipher.EncryptCbc(buffer, buffer, kMiB, iv);
        break;
      case Mode::kCbcDecrypt:
        cipher.DecryptCbc(buffer, buffer, kMiB, iv);
        break;
      case Mode::kCtr:
        cipher.EncryptCtr(buffer, buffer, kMiB, iv);
        break;
    }
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kMiB));
}

BENCHMARK(Throughput<Mode::kEcbEncrypt>)->Name("EcbEncrypt")->Arg(128)->Arg(256);
BENCHMARK(Throughput<Mode::kEcbDecrypt>)->Name("EcbDecrypt")->Arg(128)->Arg(256);
BENCHMARK(Throughput<Mode::kCbcEncrypt>)->Name("CbcEncrypt")->Arg(128)->Arg(256);
BENCHMARK(Throughput<Mode::kCbcDecrypt>)->Name("CbcDecrypt")->Arg(128)->Arg(256);
BENCHMARK(Throughput<Mode::kCtr>)->Name("Ctr")->Arg(128)->Arg(256);

}  // namespace
