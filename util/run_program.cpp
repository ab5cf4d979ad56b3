// Running other programs from a command line, with output captured or with a bounded wait.
#include "util/run_program.h"

#include <cstdio>
#include <vector>

#include "platform/program.h"

namespace {
constexpr std::size_t kPieceBufferSize = 8192;
constexpr std::uint32_t kExitWaitMs = 10000;
constexpr std::uint32_t kCannotStart = 1;
}  // namespace

std::uint32_t RunCaptureOutput(const std::string& commandLine, std::ostream& output) {
  std::vector<char> piece(kPieceBufferSize, '\0');
  const std::unique_ptr<platform::CapturedProgram> program = platform::CapturedProgram::Start(commandLine);
  if (!program) return kCannotStart;
  // Each piece is handled as zero-terminated text: a zero byte in the output
  // ends what is printed and copied of that piece.
  for (;;) {
    const std::size_t got = program->Read(piece.data(), kPieceBufferSize - 1);
    if (got == 0) break;
    piece[got] = '\0';
    std::printf("line = %s", piece.data());
    output << piece.data();
  }
  return program->WaitForExit(kExitWaitMs);
}

bool RunAndWait(const std::string& commandLine, std::uint32_t timeoutMs) {
  return platform::RunHiddenAndWait(commandLine, timeoutMs);
}
