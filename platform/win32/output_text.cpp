// Windows backend of platform/output_text.h.
#include "platform/output_text.h"

#include <windows.h>

#include "platform/code_page.h"
#include "platform/win32/wide_text.h"

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the UTF-8 character at `at` (shortest forms only, no
// surrogates, at most U+10FFFF); 0 when no character starts there.
std::size_t Utf8CharacterLength(const std::string& text, std::size_t at) {
  const auto byte = [&](std::size_t i) {
    return static_cast<unsigned char>(text[at + i]);
  };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  if (lead >= 0xC2 && lead <= 0xDF)
    length = 2;
  else if (lead >= 0xE0 && lead <= 0xEF)
    length = 3;
  else if (lead >= 0xF0 && lead <= 0xF4)
    length = 4;
  if (length == 0 || at + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if (!IsContinuation(byte(i))) return 0;
  }
  const unsigned char second = byte(1);
  if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90) ||
      (lead == 0xF4 && second > 0x8F)) {
    return 0;
  }
  return length;
}

// Without best fit a character the code page lacks becomes its default
// character, "?" in 1252 and 936, not a look-alike letter.
std::string InCodePage(UINT codePage, const std::string& utf8) {
  const std::wstring wide = platform::WideText(utf8);
  const int bytes = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                        nullptr, 0, /*lpDefaultChar=*/nullptr, /*lpUsedDefaultChar=*/nullptr);
  if (bytes <= 0) return std::string(1, '?');
  std::string ansi(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), ansi.data(), bytes,
                      /*lpDefaultChar=*/nullptr, /*lpUsedDefaultChar=*/nullptr);
  return ansi;
}

}  // namespace

std::string platform::OutputText(const std::string& text) {
  std::string output;
  output.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = Utf8CharacterLength(text, at);
    if (length == 0) {
      output += text[at++];
      continue;
    }
    output += InCodePage(CP_ACP, text.substr(at, length));
    at += length;
  }
  return output;
}

std::string platform::FixedOutputText(const std::string& utf8) { return InCodePage(kGbkCodePage, utf8); }
