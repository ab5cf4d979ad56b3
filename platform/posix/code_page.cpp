// POSIX backend of platform/code_page.h: UTF-8, which is also the ANSI code
// page here (the text of Linux paths and logs), converted by our own code.
//
// No iconv: in the static program, glibc's iconv loads its converters from
// the host's gconv folder at run time, and through them the host's own C
// library, on another distribution another glibc inside ours. So GBK and
// every other code page are unknown here and give 0, as an unknown code
// page does on Windows.
//
// As the Windows calls do without MB_ERR_INVALID_CHARS, each byte that
// starts no well-formed sequence becomes U+FFFD, and so does a lone
// surrogate: both systems give a result for any input.
#include "platform/code_page.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

constexpr std::uint32_t kReplacement = 0xFFFD;

bool IsUtf8(unsigned codePage) { return codePage == platform::kUtf8CodePage || codePage == platform::kAnsiCodePage; }

bool IsHighSurrogate(std::uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(std::uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The length of the well-formed sequence that starts at `bytes`, with its
// code point; 0 when none starts there. The ranges of the second byte keep
// out overlong forms, surrogates and code points above 10FFFF; a sequence cut
// short meets the terminator as a byte out of range.
std::size_t ReadSequence(const unsigned char* bytes, std::uint32_t& codePoint) {
  const unsigned char lead = bytes[0];
  std::size_t length = 1;
  unsigned char low = 0x80, high = 0xBF;
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    codePoint = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    codePoint = lead & 0x0Fu;
    low = lead == 0xE0 ? 0xA0 : 0x80;
    high = lead == 0xED ? 0x9F : 0xBF;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    codePoint = lead & 0x07u;
    low = lead == 0xF0 ? 0x90 : 0x80;
    high = lead == 0xF4 ? 0x8F : 0xBF;
  } else {
    return 0;
  }
  for (std::size_t i = 1; i < length; ++i) {
    if (bytes[i] < low || bytes[i] > high) return 0;
    codePoint = (codePoint << 6) | (bytes[i] & 0x3Fu);
    low = 0x80;
    high = 0xBF;
  }
  return length;
}

std::u16string DecodeUtf8(const char* text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  std::u16string out;
  for (std::size_t i = 0; bytes[i] != 0;) {
    std::uint32_t codePoint = 0;
    std::size_t length = ReadSequence(bytes + i, codePoint);
    if (length == 0) {
      length = 1;
      codePoint = kReplacement;
    }
    i += length;
    if (codePoint < 0x10000) {
      out.push_back(static_cast<char16_t>(codePoint));
    } else {
      codePoint -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
    }
  }
  return out;
}

void AppendUtf8(std::string& out, std::uint32_t codePoint) {
  if (codePoint < 0x80) {
    out.push_back(static_cast<char>(codePoint));
    return;
  }
  const int continuations = codePoint < 0x800 ? 1 : codePoint < 0x10000 ? 2 : 3;
  const unsigned leadMarks[] = {0, 0xC0, 0xE0, 0xF0};
  out.push_back(static_cast<char>(leadMarks[continuations] | (codePoint >> (6 * continuations))));
  for (int shift = 6 * (continuations - 1); shift >= 0; shift -= 6) {
    out.push_back(static_cast<char>(0x80 | ((codePoint >> shift) & 0x3F)));
  }
}

std::string EncodeUtf8(const char16_t* text) {
  std::string out;
  for (std::size_t i = 0; text[i] != 0; ++i) {
    std::uint32_t codePoint = text[i];
    if (IsHighSurrogate(codePoint) && IsLowSurrogate(text[i + 1])) {
      codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
      ++i;
    } else if (IsHighSurrogate(codePoint) || IsLowSurrogate(codePoint)) {
      codePoint = kReplacement;
    }
    AppendUtf8(out, codePoint);
  }
  return out;
}

// The counting rules both conversions share: the terminator is counted, a
// null buffer asks for the count, a buffer too small gets nothing.
template <typename Unit>
int Deliver(const std::basic_string<Unit>& text, Unit* buffer, std::size_t bufferUnits) {
  const std::size_t units = text.size() + 1;
  if (buffer == nullptr) return static_cast<int>(units);
  if (bufferUnits < units) return 0;
  std::copy(text.begin(), text.end(), buffer);
  buffer[units - 1] = 0;
  return static_cast<int>(units);
}

}  // namespace

int platform::MultiByteToUtf16(unsigned codePage, const char* text, char16_t* buffer, std::size_t bufferUnits) {
  if (text == nullptr || !IsUtf8(codePage)) return 0;
  return Deliver(DecodeUtf8(text), buffer, bufferUnits);
}

int platform::Utf16ToMultiByte(unsigned codePage, const char16_t* text, char* buffer, std::size_t bufferBytes) {
  if (text == nullptr || !IsUtf8(codePage)) return 0;
  return Deliver(EncodeUtf8(text), buffer, bufferBytes);
}
