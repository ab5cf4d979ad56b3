// Small text helpers: process id, number test, formatting, replacement, hex, local time.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

/// The current process id, zero-padded to at least six digits ("%06u").
std::string ProcessIdText();

/// `processId` as ProcessIdText writes it.
std::string ProcessIdText(std::uint32_t processId);

/// True when `text`, after optional white space, reads as one floating-point
/// number (as a stream reads a double) followed by nothing but white space.
bool IsNumber(const std::string& text);

/// printf-style formatting, cut to 2047 characters when longer.
std::string FormatToString(const char* format, ...);

/// Replaces every occurrence of `from` in `text` by `to`, left to right,
/// resuming after each inserted text; an empty `from` changes nothing.
void ReplaceAll(std::string& text, const std::string& from, const std::string& to);

/// Two upper-case hexadecimal digits per byte, each pair followed by `separator`.
std::string HexText(const std::string& bytes, const std::string& separator);

/// `seconds` since 1970-01-01 UTC as local broken-down time; all fields zero
/// when the system cannot convert it.
std::tm LocalTimeOf(std::int64_t seconds);
