// POSIX backend of platform/code_page.h: iconv, with the code page numbers
// mapped to charset names (ANSI is the current locale's charset).
//
// iconv stops at the first byte it cannot convert, where the Windows calls
// (without MB_ERR_INVALID_CHARS) put a replacement character and go on; the
// loop below does the same, so both systems give a result for any input.
#include "platform/code_page.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include <iconv.h>
#include <langinfo.h>

namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

std::string CharsetOf(unsigned codePage) {
  switch (codePage) {
    case platform::kAnsiCodePage:
      return nl_langinfo(CODESET);
    case platform::kGbkCodePage:
      return "GBK";
    case platform::kUtf8CodePage:
      return "UTF-8";
    default:
      return "CP" + std::to_string(codePage);
  }
}

// char16_t in memory order, without a byte order mark.
const char* NativeUtf16() {
  const char16_t probe = 1;
  unsigned char first = 0;
  std::memcpy(&first, &probe, 1);
  return first == 1 ? "UTF-16LE" : "UTF-16BE";
}

// Converts all of `input`; where iconv refuses a sequence (invalid, not in the
// target charset, or cut short at the end), writes `substitute` for one input
// unit (`unitSize` bytes) and goes on after it. Windows, too, replaces a
// surrogate pair the target lacks unit by unit ("??").
bool ConvertAll(const char* to, const char* from, const std::string& input,
                const std::string& substitute, std::size_t unitSize,
                std::string& output) {
  Converter converter(to, from);
  if (!converter.ok()) return false;
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  char chunk[512];
  for (;;) {
    char* out = chunk;
    std::size_t outLeft = sizeof chunk;
    const std::size_t result = iconv(converter.get(), &in, &inLeft, &out, &outLeft);
    output.append(chunk, static_cast<std::size_t>(out - chunk));
    if (result != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) continue;
    if (errno != EILSEQ && errno != EINVAL) return false;
    output += substitute;
    const std::size_t skip = inLeft < unitSize ? inLeft : unitSize;
    in += skip;
    inLeft -= skip;
    iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
  }
  char* out = chunk;
  std::size_t outLeft = sizeof chunk;
  iconv(converter.get(), nullptr, nullptr, &out, &outLeft);
  output.append(chunk, static_cast<std::size_t>(out - chunk));
  return true;
}

// The counting rules both conversions share: the terminator is counted, a
// null buffer asks for the count, a buffer too small gets nothing.
template <typename Unit>
int Deliver(const std::string& bytes, Unit* buffer, std::size_t bufferUnits) {
  const std::size_t units = bytes.size() / sizeof(Unit) + 1;
  if (buffer == nullptr) return static_cast<int>(units);
  if (bufferUnits < units) return 0;
  std::memcpy(buffer, bytes.data(), bytes.size() / sizeof(Unit) * sizeof(Unit));
  buffer[units - 1] = 0;
  return static_cast<int>(units);
}

}  // namespace

int platform::MultiByteToUtf16(unsigned codePage, const char* text, char16_t* buffer,
                               std::size_t bufferUnits) {
  if (text == nullptr) return 0;
  const char16_t replacement = 0xFFFD;
  std::string utf16;
  if (!ConvertAll(NativeUtf16(), CharsetOf(codePage).c_str(), text,
                  std::string(reinterpret_cast<const char*>(&replacement), sizeof replacement),
                  1, utf16)) {
    return 0;
  }
  return Deliver(utf16, buffer, bufferUnits);
}

int platform::Utf16ToMultiByte(unsigned codePage, const char16_t* text, char* buffer,
                               std::size_t bufferBytes) {
  if (text == nullptr) return 0;
  std::size_t length = 0;
  while (text[length] != 0) ++length;
  const std::string input(reinterpret_cast<const char*>(text), length * sizeof(char16_t));
  const std::string substitute = codePage == kUtf8CodePage ? "\xEF\xBF\xBD" : "?";
  std::string narrow;
  if (!ConvertAll(CharsetOf(codePage).c_str(), NativeUtf16(), input, substitute, sizeof(char16_t),
                  narrow)) {
    return 0;
  }
  return Deliver(narrow, buffer, bufferBytes);
}
