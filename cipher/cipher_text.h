// Front ends of the process cipher that never throw: ECB on byte vectors with
// space padding, explicit 0x14 padding, and base64 text. Each answers with an
// empty result when ProcessCipher is null or the input cannot be used.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// ECB-encrypts `len` bytes, padded with spaces (0x20) to a multiple of 16.
std::vector<std::uint8_t> EncryptEcbToBytes(const std::uint8_t* in, int len);

/// ECB-decrypts `len` bytes into as many; empty unless len is a positive multiple of 16.
std::vector<std::uint8_t> DecryptEcbToBytes(const std::uint8_t* in, int len);

/// Appends padCount bytes 0x14 (for 1 to 15; 0 appends none), then EncryptEcbToBytes;
/// empty for any other padCount.
std::vector<std::uint8_t> EncryptBytes(const std::vector<std::uint8_t>& data, int padCount);

/// DecryptEcbToBytes without its last padCount bytes (0 to 15; the pad is not
/// checked); empty for any other padCount, when nothing would remain, or when
/// the data cannot be decrypted.
std::vector<std::uint8_t> DecryptBytes(const std::vector<std::uint8_t>& data, int padCount);

/// EncryptEcbToBytes of the text's bytes as base64; empty text gives empty text.
std::string EncryptText(const std::string& text);

/// The inverse of EncryptText, all of the decrypted bytes kept (zero bytes
/// too) except trailing spaces, which the padding cannot tell from the text's own.
std::string DecryptText(const std::string& text);

/// `text` without its trailing characters that occur in `set`.
std::string TrimRight(const std::string& text, const std::string& set);
