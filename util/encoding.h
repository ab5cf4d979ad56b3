// Text conversions done by the system: between code pages and UTF-16, and
// between the C library's locale and its wide characters. UTF-8/UTF-16 by our
// own rules: utf.h.
#pragma once

#include <cstddef>
#include <string>

#include "platform/code_page.h"

/// Converts zero-terminated `text` in `codePage` to UTF-16 in `buffer`, which
/// holds `bufferSize` units. Returns the units needed, terminator included;
/// with a null `buffer` only that count. A buffer too small for it gets an
/// empty text (when it has room for one unit) and the result is 0; 0 also when
/// the system cannot convert.
int MultiByteToWideBuffer(const char* text, char16_t* buffer, std::size_t bufferSize, unsigned codePage);

/// Converts zero-terminated UTF-16 `text` to `codePage` in `buffer`, which
/// holds `bufferSize` bytes; counts and refusals as MultiByteToWideBuffer.
int WideToMultiByteBuffer(const char16_t* text, char* buffer, std::size_t bufferSize, unsigned codePage);

/// Text in the system's ANSI code page (up to its first zero byte) as UTF-16; empty when it cannot be converted.
std::u16string AnsiToWide(const std::string& text);

/// UTF-16 text (up to its first zero unit) in the ANSI code page; empty when it cannot be converted.
std::string WideToAnsi(const std::u16string& text);

/// GBK (code page 936) text as UTF-8; empty when it cannot be converted.
std::string GbkToUtf8(const std::string& text);

/// UTF-8 text as GBK (code page 936); empty when it cannot be converted.
std::string Utf8ToGbk(const std::string& text);

/// Converts `text` in the C library's current locale to wide characters.
/// Null `text` gives 0; a null `buffer` gives the count the whole text needs
/// (`maxCount` is handed to that query only). Otherwise at most `bufferSize` - 1
/// characters are converted and terminated and their count returned; a
/// `bufferSize` of 0 writes nothing. Text the locale cannot convert gives 0
/// and an empty buffer.
int LocaleToWideBuffer(const char* text, std::size_t maxCount, wchar_t* buffer, std::size_t bufferSize);

/// Converts wide `text` to the C library's current locale into `buffer` of
/// `bufferSize` bytes, by the rules of LocaleToWideBuffer (counts in bytes).
int WideToLocaleBuffer(const wchar_t* text, std::size_t maxCount, char* buffer, std::size_t bufferSize);
