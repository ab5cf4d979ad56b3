// A stand-in application for tests that stop, replace and restart programs:
// it appends "<version> <pid> <current directory>" to "<its own path>.run",
// then sleeps until it is killed (or ten minutes pass, so none outlives a run).
#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/file_open.h"
#include "platform/file_system.h"
#include "platform/process.h"

#ifndef FAKE_APP_VERSION
#define FAKE_APP_VERSION 1
#endif

int main() {
  const std::string record = platform::ExecutablePath() + ".run";
  if (std::FILE* file = platform::OpenFile(record, "a")) {
    std::fprintf(file, "%d %u %s\n", FAKE_APP_VERSION,
                 static_cast<unsigned>(platform::CurrentProcessId()), platform::CurrentDir().c_str());
    std::fclose(file);
  }
  std::this_thread::sleep_for(std::chrono::minutes(10));
  return 0;
}
