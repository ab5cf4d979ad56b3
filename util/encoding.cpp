// Text conversions done by the system: code pages and the C library's locale.
#include "util/encoding.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

namespace {

constexpr std::size_t kConversionFailed = static_cast<std::size_t>(-1);

int ToInt(std::size_t count) { return count > INT_MAX ? INT_MAX : static_cast<int>(count); }

// Runs a system conversion twice, once for the count and once into a
// zero-filled temporary; the caller's buffer gets the result only when it
// holds the whole of it, so nothing is ever written past its end.
template <typename From, typename To>
int ConvertIntoBuffer(int (*convert)(unsigned, const From*, To*, std::size_t), const From* text, To* buffer,
                      std::size_t bufferSize, unsigned codePage) {
  const int needed = convert(codePage, text, nullptr, 0);
  if (buffer == nullptr) return needed;
  const std::size_t count = needed > 0 ? static_cast<std::size_t>(needed) : 0;
  if (count == 0 || bufferSize < count) {
    if (bufferSize > 0) buffer[0] = 0;
    return 0;
  }
  std::vector<To> converted(count, To{});
  if (convert(codePage, text, converted.data(), count) == 0) {
    buffer[0] = 0;
    return 0;
  }
  std::copy(converted.begin(), converted.end(), buffer);
  return needed;
}

// The same two system calls, with the result as a string without its terminator.
template <typename Result, typename From>
Result ConvertToString(int (*convert)(unsigned, const From*, typename Result::value_type*, std::size_t),
                       const From* text, unsigned codePage) {
  const int needed = convert(codePage, text, nullptr, 0);
  if (needed <= 0) return {};
  Result converted(static_cast<std::size_t>(needed), typename Result::value_type{});
  if (convert(codePage, text, converted.data(), converted.size()) == 0) return {};
  converted.resize(converted.size() - 1);
  return converted;
}

std::u16string ToUtf16(const char* text, unsigned codePage) {
  return ConvertToString<std::u16string>(platform::MultiByteToUtf16, text, codePage);
}

std::string FromUtf16(const std::u16string& text, unsigned codePage) {
  return ConvertToString<std::string>(platform::Utf16ToMultiByte, text.c_str(), codePage);
}

// The shared rules of the two C library conversions; `convert` is mbstowcs or wcstombs.
template <typename From, typename To>
int ConvertWithLocale(std::size_t (*convert)(To*, const From*, std::size_t), const From* text, std::size_t maxCount,
                      To* buffer, std::size_t bufferSize) {
  if (text == nullptr) return 0;
  if (buffer == nullptr) {
    const std::size_t needed = convert(nullptr, text, maxCount);
    return needed == kConversionFailed ? 0 : ToInt(needed);
  }
  if (bufferSize == 0) return 0;
  const std::size_t converted = bufferSize == 1 ? 0 : convert(buffer, text, bufferSize - 1);
  if (converted == kConversionFailed) {
    buffer[0] = 0;
    return 0;
  }
  buffer[converted] = 0;
  return ToInt(converted);
}

}  // namespace

int MultiByteToWideBuffer(const char* text, char16_t* buffer, std::size_t bufferSize, unsigned codePage) {
  return ConvertIntoBuffer(platform::MultiByteToUtf16, text, buffer, bufferSize, codePage);
}

int WideToMultiByteBuffer(const char16_t* text, char* buffer, std::size_t bufferSize, unsigned codePage) {
  return ConvertIntoBuffer(platform::Utf16ToMultiByte, text, buffer, bufferSize, codePage);
}

std::u16string AnsiToWide(const std::string& text) { return ToUtf16(text.c_str(), platform::kAnsiCodePage); }

std::string WideToAnsi(const std::u16string& text) { return FromUtf16(text, platform::kAnsiCodePage); }

std::string GbkToUtf8(const std::string& text) {
  const std::u16string wide = ToUtf16(text.c_str(), platform::kGbkCodePage);
  return wide.empty() ? std::string() : FromUtf16(wide, platform::kUtf8CodePage);
}

std::string Utf8ToGbk(const std::string& text) {
  const std::u16string wide = ToUtf16(text.c_str(), platform::kUtf8CodePage);
  return wide.empty() ? std::string() : FromUtf16(wide, platform::kGbkCodePage);
}

int LocaleToWideBuffer(const char* text, std::size_t maxCount, wchar_t* buffer, std::size_t bufferSize) {
  const auto convert = [](wchar_t* to, const char* from, std::size_t count) {
    return std::mbstowcs(to, from, count);
  };
  return ConvertWithLocale<char, wchar_t>(convert, text, maxCount, buffer, bufferSize);
}

int WideToLocaleBuffer(const wchar_t* text, std::size_t maxCount, char* buffer, std::size_t bufferSize) {
  const auto convert = [](char* to, const wchar_t* from, std::size_t count) {
    return std::wcstombs(to, from, count);
  };
  return ConvertWithLocale<wchar_t, char>(convert, text, maxCount, buffer, bufferSize);
}
