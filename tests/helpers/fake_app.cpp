// A stand-in application for tests that stop, replace and restart programs:
// it appends "<version> <pid> <current directory>" to "<its own path>.run"
// and its arguments, one line a run, to "<its own path>.args", and
// "<UPDATER_PID> <UPDATER_LOG>" ("-" for one not set) to "<its own path>.env",
// then sleeps until it is killed (or ten minutes pass, so none outlives a run).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/file_open.h"
#include "platform/file_system.h"
#include "platform/process.h"

#ifndef FAKE_APP_VERSION
#define FAKE_APP_VERSION 1
#endif

int main(int argc, char* argv[]) {
  const std::string self = platform::ExecutablePath().value;
  if (std::FILE* file = platform::OpenFile(self + ".args", "a")) {
    for (int i = 1; i < argc; ++i) std::fprintf(file, "%s%s", i > 1 ? " " : "", argv[i]);
    std::fputc('\n', file);
    std::fclose(file);
  }
  if (std::FILE* file = platform::OpenFile(self + ".env", "a")) {
    const char* pid = std::getenv("UPDATER_PID");
    const char* log = std::getenv("UPDATER_LOG");
    std::fprintf(file, "%s %s\n", pid ? pid : "-", log ? log : "-");
    std::fclose(file);
  }
  const std::string record = self + ".run";
  if (std::FILE* file = platform::OpenFile(record, "a")) {
    std::fprintf(file, "%d %u %s\n", FAKE_APP_VERSION, static_cast<unsigned>(platform::CurrentProcessId()),
                 platform::CurrentDir().value.c_str());
    std::fclose(file);
  }
  std::this_thread::sleep_for(std::chrono::minutes(10));
  return 0;
}
