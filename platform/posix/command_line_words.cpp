// Splitting a Windows command line into argument words, for starting programs on POSIX.
#include "platform/posix/command_line_words.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// One argument word from `line` at `at`, which is left after it.
std::string ReadArgument(const std::string& line, std::size_t& at) {
  std::string word;
  bool quoted = false;
  while (at < line.size()) {
    std::size_t backslashes = 0;
    while (at < line.size() && line[at] == '\\') {
      ++backslashes;
      ++at;
    }
    if (at < line.size() && line[at] == '"') {
      word.append(backslashes / 2, '\\');
      if (backslashes % 2 == 1) {
        word += '"';
        ++at;
      } else if (quoted && at + 1 < line.size() && line[at + 1] == '"') {
        word += '"';
        at += 2;
      } else {
        quoted = !quoted;
        ++at;
      }
      continue;
    }
    word.append(backslashes, '\\');
    if (at == line.size() || (!quoted && IsBlank(line[at]))) break;
    word += line[at++];
  }
  return word;
}

}  // namespace

std::vector<std::string> platform::SplitCommandLine(const std::string& commandLine) {
  const std::string line = commandLine.c_str();
  std::vector<std::string> words;
  std::size_t at = 0;
  while (at < line.size() && IsBlank(line[at])) ++at;
  if (at == line.size()) return words;

  // The program's name knows no escapes: a quote only opens or closes.
  std::string program;
  bool quoted = false;
  for (; at < line.size() && (quoted || !IsBlank(line[at])); ++at) {
    if (line[at] == '"') {
      quoted = !quoted;
    } else {
      program += line[at];
    }
  }
  words.push_back(program);

  for (;;) {
    while (at < line.size() && IsBlank(line[at])) ++at;
    if (at == line.size()) break;
    words.push_back(ReadArgument(line, at));
  }
  return words;
}
