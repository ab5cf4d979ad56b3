// A child for tests of running programs with captured output. Exits with its
// first argument; each further argument goes to standard output ("|" between
// them), or, with a leading "!", to standard error without the "!"; "#N"
// writes N letters a to z over and over.
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  bool first = true;
  for (int i = 2; i < argc; ++i) {
    const char* argument = argv[i];
    if (argument[0] == '!') {
      std::fputs(argument + 1, stderr);
      std::fflush(stderr);
      continue;
    }
    if (!first) std::fputs("|", stdout);
    first = false;
    if (argument[0] == '#') {
      const long count = std::strtol(argument + 1, nullptr, 10);
      for (long k = 0; k < count; ++k) std::putchar('a' + static_cast<int>(k % 26));
    } else {
      std::fputs(argument, stdout);
    }
    std::fflush(stdout);
  }
  return std::atoi(argv[1]);
}
