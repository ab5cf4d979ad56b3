// Windows backends only: the program's UTF-8 text as the UTF-16 that every
// system call takes, and back; paths of any length in the form the file
// functions accept.
#pragma once

#include <string>

namespace platform {

/// `text` (UTF-8) as UTF-16; empty when it is empty or not valid UTF-8.
std::wstring WideText(const std::string& text);

/// The UTF-16 `text` (without its terminator) as UTF-8.
std::string Utf8Text(const std::wstring& text);

/// Zero-terminated UTF-16 `text` as UTF-8; empty for null.
std::string Utf8Text(const wchar_t* text);

/// `path` (UTF-8) as the file functions take it: as it is while it is short
/// enough for the plain form, otherwise its full path in the "\\?\" form
/// (a UNC path as "\\?\UNC\server\share\..."). Never for a message.
std::wstring WidePath(const std::string& path);

/// True when `path` (UTF-16) is short enough that the plain form reaches it.
bool FitsPlainPath(const std::wstring& path);

/// The short (8.3) form of the existing `path`, in the plain form (no "\\?\"),
/// for the calls that take no longer path; empty, with GetLastError() telling
/// why, when the system gives none.
std::wstring ShortPlainPath(const std::string& path);

}  // namespace platform
