// Conversions between narrow text in a code page and UTF-16, done by the system.
#pragma once

#include <cstddef>

namespace platform {

/// The code page numbers callers name: the system's ANSI code page, GBK and UTF-8.
constexpr unsigned kAnsiCodePage = 0;
constexpr unsigned kGbkCodePage = 936;
constexpr unsigned kUtf8CodePage = 65001;

/// Converts the zero-terminated `text` in `codePage` to UTF-16, terminator
/// included. With a null `buffer`, returns the units needed; otherwise writes
/// at most `bufferUnits` units and returns how many were written. 0 when the
/// code page is unknown, `text` is null or the buffer is too small.
/// Bytes the code page cannot decode become U+FFFD (or the code page's own choice).
int MultiByteToUtf16(unsigned codePage, const char* text, char16_t* buffer, std::size_t bufferUnits);

/// Converts the zero-terminated UTF-16 `text` to `codePage`, terminator
/// included, with the same counting rules as MultiByteToUtf16. Characters the
/// code page lacks become its default character ('?' for most).
int Utf16ToMultiByte(unsigned codePage, const char16_t* text, char* buffer, std::size_t bufferBytes);

}  // namespace platform
