// Base64 encoding and the lenient decoder of the cipher's text front ends.
#include "cipher/base64.h"

#include <array>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Covers every byte, not only the codes up to "z": text from outside may
// hold any byte, and each one that is not in the alphabet is worth 0.
constexpr std::array<std::uint8_t, 256> BuildDecodeTable() {
  std::array<std::uint8_t, 256> table{};
  for (std::uint8_t value = 0; value < 64; ++value) {
    table[static_cast<unsigned char>(kAlphabet[value])] = value;
  }
  return table;
}

constexpr std::array<std::uint8_t, 256> kDecodeTable = BuildDecodeTable();

template <typename Container>
Container Decode(const char* text, int len) {
  Container out;
  if (text == nullptr || len <= 0) return out;
  out.reserve(static_cast<std::size_t>(len) / 4 * 3 + 2);
  int i = 0;
  while (i < len) {
    if (text[i] == '\r' || text[i] == '\n') {
      ++i;
      continue;
    }
    const int available = len - i < 4 ? len - i : 4;
    // Characters a short last group lacks are read as padding.
    char c[4] = {'=', '=', '=', '='};
    for (int k = 0; k < available; ++k) c[k] = text[i + k];
    i += 4;
    if (available == 1) break;
    std::uint8_t d[4];
    for (int k = 0; k < 4; ++k) d[k] = kDecodeTable[static_cast<unsigned char>(c[k])];
    out.push_back(static_cast<typename Container::value_type>((d[0] << 2) | (d[1] >> 4)));
    if (c[2] == '=') continue;
    out.push_back(static_cast<typename Container::value_type>(((d[1] << 4) | (d[2] >> 2)) & 0xFF));
    if (c[3] == '=') continue;
    out.push_back(static_cast<typename Container::value_type>(((d[2] << 6) | d[3]) & 0xFF));
  }
  return out;
}

}  // namespace

std::string Base64Encode(const std::uint8_t* bytes, int len) {
  std::string text;
  if (bytes == nullptr || len <= 0) return text;
  text.reserve((static_cast<std::size_t>(len) + 2) / 3 * 4);
  int i = 0;
  for (; i + 3 <= len; i += 3) {
    const std::uint32_t group = (std::uint32_t{bytes[i]} << 16) | (std::uint32_t{bytes[i + 1]} << 8) | bytes[i + 2];
    text += kAlphabet[group >> 18];
    text += kAlphabet[(group >> 12) & 0x3F];
    text += kAlphabet[(group >> 6) & 0x3F];
    text += kAlphabet[group & 0x3F];
  }
  if (len - i == 1) {
    text += kAlphabet[bytes[i] >> 2];
    text += kAlphabet[(bytes[i] & 0x03) << 4];
    text += "==";
  } else if (len - i == 2) {
    text += kAlphabet[bytes[i] >> 2];
    text += kAlphabet[((bytes[i] & 0x03) << 4) | (bytes[i + 1] >> 4)];
    text += kAlphabet[(bytes[i + 1] & 0x0F) << 2];
    text += '=';
  }
  return text;
}

std::vector<std::uint8_t> Base64DecodeToBytes(const char* text, int len) {
  return Decode<std::vector<std::uint8_t>>(text, len);
}

std::string Base64DecodeToString(const char* text, int len) { return Decode<std::string>(text, len); }
