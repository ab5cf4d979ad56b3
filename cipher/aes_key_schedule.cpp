// AesCipher's key expansion into the byte-wise round-key schedule.
#include <cstring>

#include "cipher/aes_cipher.h"
#include "cipher/aes_tables.h"

using aes::kTables;

void AesCipher::ExpandKey(const std::uint8_t* key) {
  std::uint8_t* schedule = roundKeys.get();
  const int nk = keyBits / 32;
  const int words = 4 * (nk + 7);
  std::memcpy(schedule, key, static_cast<std::size_t>(4 * nk));
  for (int i = nk; i < words; ++i) {
    const std::uint8_t* previous = schedule + 4 * (i - 1);
    std::uint8_t temp[4] = {previous[0], previous[1], previous[2], previous[3]};
    if (i % nk == 0) {
      // SubWord(RotWord(previous)) XOR round constant i / nk.
      const std::uint8_t first = temp[0];
      temp[0] = static_cast<std::uint8_t>(kTables.sbox[temp[1]] ^ (kTables.roundConstants[i / nk - 1] >> 24));
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
