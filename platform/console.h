// Coloured lines on the console and text for an attached debugger.
#pragma once

#include <cstdint>

namespace platform {

/// Prints `text` to standard output in `attribute` (Windows console bits: 1 blue,
/// 2 green, 4 red, 8 intensity), then restores the colour. Prints nothing and
/// returns false when standard output is not a console (redirected or absent).
bool PrintColoured(const char* text, std::uint16_t attribute);

/// Hands `text` to the debugger; does nothing where the system has no such channel.
void SendToDebugger(const char* text);

}  // namespace platform
