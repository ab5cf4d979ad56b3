// UTF-8 and UTF-16 conversions done by our own code.
#include "util/utf.h"

#include <cstddef>
#include <cstdint>

namespace {

// Number of continuation bytes a lead byte announces, and its payload bits;
// a byte that cannot start a sequence gives -1.
struct Lead {
  int continuations;
  std::uint32_t bits;
};

Lead ReadLead(unsigned char byte) {
  if (byte < 0x80) return {0, byte};
  if (byte >= 0xC0 && byte <= 0xDF) return {1, byte & 0x1Fu};
  if (byte >= 0xE0 && byte <= 0xEF) return {2, byte & 0x0Fu};
  if (byte >= 0xF0 && byte <= 0xF7) return {3, byte & 0x07u};
  return {-1, 0};
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

void AppendCodePoint(std::u16string& out, std::uint32_t codePoint) {
  if (codePoint <= 0xFFFF) {
    out.push_back(static_cast<char16_t>(codePoint));
  } else if (codePoint <= 0x10FFFF) {
    const std::uint32_t offset = codePoint - 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
  }
}

}  // namespace

std::string Utf16ToUtf8(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char16_t unit : text) {
    if (unit == 0) break;
    if (unit < 0x80) {
      out.push_back(static_cast<char>(unit));
    } else if (unit < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (unit >> 6)));
      out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (unit >> 12)));
      out.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
    }
  }
  return out;
}

std::u16string Utf8ToUtf16(const std::string& text) {
  // c_str() ends with a zero byte, so a sequence cut short by the end of the
  // text meets that zero as a broken continuation and never reads past it.
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text.c_str());
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; bytes[i] != 0; ++i) {
    const Lead lead = ReadLead(bytes[i]);
    if (lead.continuations < 0) continue;
    std::uint32_t codePoint = lead.bits;
    for (int k = 0; k < lead.continuations; ++k) {
      const unsigned char next = bytes[i + 1];
      if (!IsContinuation(next)) return out;
      codePoint = (codePoint << 6) | (next & 0x3Fu);
      ++i;
    }
    AppendCodePoint(out, codePoint);
  }
  return out;
}

bool IsValidUtf8(const std::string& text) {
  // The smallest code point that needs each count of continuation bytes.
  static constexpr std::uint32_t kShortest[] = {0, 0x80, 0x800, 0x10000};
  for (std::size_t i = 0; i < text.size(); ++i) {
    const Lead lead = ReadLead(static_cast<unsigned char>(text[i]));
    if (lead.continuations < 0 || text.size() - i - 1 < static_cast<std::size_t>(lead.continuations)) return false;
    std::uint32_t codePoint = lead.bits;
    for (int k = 0; k < lead.continuations; ++k) {
      const auto next = static_cast<unsigned char>(text[++i]);
      if (!IsContinuation(next)) return false;
      codePoint = (codePoint << 6) | (next & 0x3Fu);
    }
    if (codePoint < kShortest[lead.continuations] || codePoint > 0x10FFFF) return false;
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF) return false;
  }
  return true;
}
