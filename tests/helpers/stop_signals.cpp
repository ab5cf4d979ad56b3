// A stand-in application for the Linux stop: "save" writes "<its own
// path>.saved" when asked to end (SIGTERM) and then ends; "ignore" does not
// end when asked. Each appends "<pid>" to "<its own path>.run" once its
// answer to SIGTERM is in place, then waits (ten minutes at most).
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include <unistd.h>

#include "platform/file_system.h"
#include "platform/process.h"

namespace {

void Record(const std::string& path, const char* text) {
  if (std::FILE* file = std::fopen(path.c_str(), "a")) {
    std::fputs(text, file);
    std::fclose(file);
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  const bool saves = argc > 1 && std::strcmp(argv[1], "save") == 0;
  const std::string self = platform::ExecutablePath().value;
  sigset_t terminate;
  sigemptyset(&terminate);
  sigaddset(&terminate, SIGTERM);
  if (saves) {
    sigprocmask(SIG_BLOCK, &terminate, nullptr);
  } else {
    std::signal(SIGTERM, SIG_IGN);
  }
  Record(self + ".run", (std::to_string(platform::CurrentProcessId()) + "\n").c_str());
  if (!saves) {
    for (int second = 0; second < 600; ++second) sleep(1);
    return 0;
  }
  // The signal is taken synchronously, so saving is ordinary code, not a handler's.
  timespec bound{600, 0};
  if (sigtimedwait(&terminate, nullptr, &bound) != SIGTERM) return 1;
  Record(self + ".saved", "saved\n");
  return 0;
}
