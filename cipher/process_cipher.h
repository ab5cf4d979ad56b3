// The process-wide AesCipher: its key, its creation at start-up, and the CBC
// and CTR calls on it. Padding and text front ends: cipher_text.h.
#pragma once

#include <cstdint>
#include <memory>

#include "cipher/aes_cipher.h"

/// The program's built-in 128-bit key of ProcessCipher and of CreateCipher's instances.
extern const std::uint8_t ProcessCipherKey[16];

/// The process-wide cipher: null until CreateProcessCipher runs. It is never
/// destroyed at exit, so code running late in the process still finds it;
/// only ReleaseProcessCipher ends it.
extern AesCipher* ProcessCipher;

/// Prints the start-up line to standard output and returns a cipher keyed
/// with ProcessCipherKey at 128 bits.
std::unique_ptr<AesCipher> CreateCipher();

/// Destroys `cipher` (nothing for null).
void DeleteCipher(std::unique_ptr<AesCipher> cipher);

/// When ProcessCipher is null, creates it as CreateCipher does; otherwise
/// does nothing, so the start-up line is printed once per process.
void CreateProcessCipher();

/// Destroys ProcessCipher, if any, and sets it to null; no other thread may be using it.
void ReleaseProcessCipher();

/// AesCipher::EncryptCbc on ProcessCipher; nothing when it is null. Throws what EncryptCbc throws.
void ProcessEncryptCbc(std::uint8_t* out, const std::uint8_t* in, int len, const std::uint8_t* iv);
/// AesCipher::DecryptCbc on ProcessCipher; nothing when it is null. Throws what DecryptCbc throws.
void ProcessDecryptCbc(std::uint8_t* out, const std::uint8_t* in, int len, const std::uint8_t* iv);
/// AesCipher::EncryptCtr on ProcessCipher; nothing when it is null. Throws what EncryptCtr throws.
void ProcessEncryptCtr(std::uint8_t* out, const std::uint8_t* in, int len, const std::uint8_t* iv);
/// AesCipher::DecryptCtr on ProcessCipher; nothing when it is null. Throws what DecryptCtr throws.
void ProcessDecryptCtr(std::uint8_t* out, const std::uint8_t* in, int len, const std::uint8_t* iv);
