// A child for tests of processes sharing one log: writes its second argument
// (a count) of lines below the log root given as its first argument, each
// line naming the writer (third argument) and its number, padded to a length
// that a buffered writer would split.
#include <cstdlib>
#include <string>

#include "log/log.h"

int main(int argc, char* argv[]) {
  if (argc != 4) return 2;
  SetLogRoot(argv[1]);
  const int count = std::atoi(argv[2]);
  const std::string padding(3000, '.');
  for (int i = 0; i < count; ++i) {
    const std::string message = std::string(argv[3]) + " " + std::to_string(i) + " " + padding + " end";
    LogWrite(Info, "log_lines", 1, message.c_str());
  }
  return 0;
}
