// POSIX backend of platform/console.h: ANSI colours on a terminal.
#include "platform/console.h"

#include <cstdio>

#include <unistd.h>

namespace {
// Windows attribute bits are blue 1, green 2, red 4; ANSI colour numbers are
// red 1, green 2, blue 4, so the two outer bits swap.
int AnsiColour(std::uint16_t attribute) {
  const int rgb = ((attribute & 4) ? 1 : 0) | ((attribute & 2) ? 2 : 0) | ((attribute & 1) ? 4 : 0);
  return ((attribute & 8) ? 90 : 30) + rgb;
}
}  // namespace

bool platform::PrintColoured(const char* text, std::uint16_t attribute) {
  if (!isatty(STDOUT_FILENO)) return false;
  std::printf("\x1b[%dm%s\x1b[0m", AnsiColour(attribute), text);
  std::fflush(stdout);
  return true;
}

void platform::SendToDebugger(const char*) {}
