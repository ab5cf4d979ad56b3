// Prints the ANSI code page that a program started beside the tests runs
// under, so that a test proves the code page it means before relying on it.
#include <cstdio>

#include <windows.h>

int main() {
  std::printf("%u\n", GetACP());
  return 0;
}
