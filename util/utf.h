// UTF-8 and UTF-16 conversions done by our own code, the same on every system.
// Conversions through the system's code pages: encoding.h.
#pragma once

#include <string>

/// Encodes each UTF-16 code unit on its own as one, two or three UTF-8 bytes,
/// up to the first zero unit; surrogate units are encoded singly, not paired.
std::string Utf16ToUtf8(const std::u16string& text);

/// Decodes UTF-8 up to the first zero byte. Overlong forms are accepted, stray
/// bytes where a sequence should start are skipped, code points above 10FFFF
/// are dropped; a broken continuation ends the text there, keeping what came before.
std::u16string Utf8ToUtf16(const std::string& text);

/// True when `text` is well-formed UTF-8: every character in its shortest
/// form, no surrogate, none above U+10FFFF. A zero byte counts as a character.
bool IsValidUtf8(const std::string& text);
