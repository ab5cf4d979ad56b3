// Fuzzes our UTF-8 and UTF-16 conversions: any bytes or units convert without
// reading out of bounds, and valid text comes back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "util/utf.h"

namespace {

std::u16string UpToZero(const std::u16string& units) { return units.substr(0, units.find(u'\0')); }

// A strict decoder written apart from the one under test: true, with the
// UTF-16 it should give, when `bytes` is well-formed UTF-8 (shortest forms,
// no surrogates, nothing above U+10FFFF) without a zero byte.
bool DecodeStrictly(const std::string& bytes, std::u16string& expected, bool& beyondBmp) {
  static const std::uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
  std::size_t i = 0;
  while (i < bytes.size()) {
    const unsigned char lead = static_cast<unsigned char>(bytes[i]);
    int length = 0;
    if (lead == 0) return false;
    if (lead < 0x80)
      length = 1;
    else if ((lead >> 5) == 0x6)
      length = 2;
    else if ((lead >> 4) == 0xE)
      length = 3;
    else if ((lead >> 3) == 0x1E)
      length = 4;
    else
      return false;
    if (i + static_cast<std::size_t>(length) > bytes.size()) return false;
    std::uint32_t codePoint = length == 1 ? lead : (lead & (0x7Fu >> length));
    for (int k = 1; k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
      if ((next & 0xC0) != 0x80) return false;
      codePoint = (codePoint << 6) | (next & 0x3Fu);
    }
    if (codePoint < kMinimum[length - 1] || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
      return false;
    }
    if (codePoint >= 0x10000) {
      beyondBmp = true;
      expected.push_back(static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10)));
      expected.push_back(static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF)));
    } else {
      expected.push_back(static_cast<char16_t>(codePoint));
    }
    i += static_cast<std::size_t>(length);
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  // Whatever the bytes decode to survives a trip through UTF-8.
  const std::u16string decoded = UpToZero(Utf8ToUtf16(bytes));
  if (Utf8ToUtf16(Utf16ToUtf8(decoded)) != decoded) std::abort();

  // Valid UTF-8 decodes as a strict decoder says, and without characters
  // beyond the Basic Multilingual Plane (whose pairs are encoded unit by
  // unit) it comes back byte for byte.
  std::u16string expected;
  bool beyondBmp = false;
  if (DecodeStrictly(bytes, expected, beyondBmp)) {
    if (Utf8ToUtf16(bytes) != expected) std::abort();
    if (!beyondBmp && Utf16ToUtf8(expected) != bytes) std::abort();
  }

  // The same input read as UTF-16 units survives a trip through UTF-8.
  std::u16string units(size / sizeof(char16_t), u'\0');
  if (!units.empty()) std::memcpy(&units[0], data, units.size() * sizeof(char16_t));
  units = UpToZero(units);
  if (Utf8ToUtf16(Utf16ToUtf8(units)) != units) std::abort();
  return 0;
}
