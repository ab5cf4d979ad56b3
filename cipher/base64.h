// Base64 text (the standard alphabet with "=" padding) to and from bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// Four characters for every three bytes, "=" padding, no line breaks; empty for len <= 0.
std::string Base64Encode(const std::uint8_t* bytes, int len);

/// Decodes `len` characters of `text` in groups of four. A CR or LF where a
/// group would start is skipped; "=" as a group's third (or fourth) character
/// ends the group after one (or two) bytes; a character outside the alphabet
/// counts as "A". A last group cut short by `len` decodes as if padded with
/// "=" (two or three characters give one or two bytes, one character gives
/// none), so nothing past `len` is read. Empty for len <= 0.
std::vector<std::uint8_t> Base64DecodeToBytes(const char* text, int len);

/// Base64DecodeToBytes with the bytes as a string.
std::string Base64DecodeToString(const char* text, int len);
