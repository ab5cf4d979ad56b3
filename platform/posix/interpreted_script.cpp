// Linux: the script an interpreter process runs.
#include "platform/posix/interpreted_script.h"

#include <climits>
#include <cstdlib>
#include <sstream>
#include <string_view>

#include <dirent.h>
#include <sys/stat.h>

#include "platform/file_identity.h"
#include "platform/file_open.h"
#include "platform/file_stream.h"
#include "platform/posix/proc_entries.h"
#include "platform/posix/unique_dir.h"

namespace {

enum class Interpreter { kOther, kShell, kPython, kNode };

// The interpreters that run a file given them by hand, whatever its "#!"
// line names: `bash app` runs a "#!/bin/sh" script.
Interpreter KnownInterpreter(const std::string& program) {
  const std::string name = program.substr(program.rfind('/') + 1);
  for (const char* shell : {"sh", "bash", "dash", "ash", "ksh", "mksh", "zsh"}) {
    if (name == shell) return Interpreter::kShell;
  }
  if (name.rfind("python", 0) == 0) return Interpreter::kPython;
  if (name == "node" || name == "nodejs") return Interpreter::kNode;
  return Interpreter::kOther;
}

// Options whose value is the next word, not the script.
bool TakesValue(Interpreter interpreter, const std::string& option) {
  switch (interpreter) {
    case Interpreter::kShell:
      return option == "-o" || option == "+o";
    case Interpreter::kPython:
      return option == "-W" || option == "-X";
    case Interpreter::kNode:
      return option == "-r" || option == "--require";
    case Interpreter::kOther:
      break;
  }
  return false;
}

// sh -c, python -c and -m, node -e and -p run no file, whatever follows.
bool TakesProgramFromCommandLine(Interpreter interpreter, const std::string& option) {
  if (option.size() < 2 || option[0] != '-') return false;
  if (option[1] == '-') {
    return interpreter == Interpreter::kNode && (option.rfind("--eval", 0) == 0 || option.rfind("--print", 0) == 0);
  }
  const char* letters = interpreter == Interpreter::kShell    ? "c"
                        : interpreter == Interpreter::kPython ? "cm"
                        : interpreter == Interpreter::kNode   ? "ep"
                                                              : "";
  return option.find_first_of(letters, 1) != std::string::npos;
}

// The first word after the program that is no option; false when an option
// says the program comes from the command line.
bool ScriptWord(Interpreter interpreter, const std::vector<std::string>& words, std::string* word) {
  for (std::size_t at = 1; at < words.size(); ++at) {
    const std::string& option = words[at];
    if (option == "--") {
      if (at + 1 < words.size()) *word = words[at + 1];
      return true;
    }
    if (option.empty() || (option[0] != '-' && option[0] != '+')) {
      *word = option;
      return true;
    }
    if (TakesProgramFromCommandLine(interpreter, option)) return false;
    if (TakesValue(interpreter, option)) ++at;
  }
  return true;
}

bool IsRegularFile(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// The regular file a descriptor of the process holds open whose path ends
// in `relative`: a shell keeps its script open, wherever it has gone since.
bool HeldOpen(std::uint32_t id, const std::string& relative, std::string* path) {
  std::string_view tail = relative;
  while (tail.rfind("./", 0) == 0) tail.remove_prefix(2);
  const std::string ending = "/" + std::string(tail);
  platform::UniqueDir fds(platform::ProcFile(id, "fd").c_str());
  if (fds.get() == nullptr) return false;
  while (const dirent* item = readdir(fds.get())) {
    std::string target;
    if (item->d_name[0] == '.' || !platform::ReadLink(platform::ProcFile(id, "fd") + "/" + item->d_name, &target)) {
      continue;
    }
    if (target.size() > ending.size() && target.compare(target.size() - ending.size(), ending.size(), ending) == 0 &&
        IsRegularFile(target)) {
      *path = target;
      return true;
    }
  }
  return false;
}

// `word` as the path of an existing file: as it stands when absolute, else
// the one the process holds open or the one in its current directory.
bool LocateScript(std::uint32_t id, const std::string& word, std::string* path) {
  if (word.empty()) return false;
  *path = word;
  if (word[0] == '/') return IsRegularFile(word);
  if (HeldOpen(id, word, path)) return true;
  std::string cwd;
  if (!platform::ReadLink(platform::ProcFile(id, "cwd"), &cwd) || cwd[0] != '/') return false;
  *path = (cwd == "/" ? "" : cwd) + "/" + word;
  return IsRegularFile(*path);
}

// `name`, a program env is told to run, as PATH finds it.
std::string InPath(const std::string& name) {
  if (name.find('/') != std::string::npos) return name;
  const char* path = std::getenv("PATH");
  for (std::string_view rest = path ? path : ""; !rest.empty();) {
    const std::size_t colon = rest.find(':');
    const std::string folder(rest.substr(0, colon));
    const std::string file = (folder.empty() ? "." : folder) + "/" + name;
    if (IsRegularFile(file)) return file;
    rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
  }
  return {};
}

// The interpreter the "#!" line of `script` names, through env too; empty
// when it has none.
std::string ShebangInterpreter(const std::string& script) {
  const platform::UniqueFile file(platform::OpenFile(script, "rb"));
  char line[256] = {};
  if (!file || std::fgets(line, sizeof line, file.get()) == nullptr || line[0] != '#' || line[1] != '!') return {};
  std::vector<std::string> words;
  std::istringstream split(line + 2);
  for (std::string word; split >> word;) words.push_back(word);
  if (words.empty()) return {};
  if (words[0].substr(words[0].rfind('/') + 1) != "env") return words[0];
  for (std::size_t at = 1; at < words.size(); ++at) {
    if (words[at][0] != '-' && words[at].find('=') == std::string::npos) return InPath(words[at]);
  }
  return {};
}

std::string Resolved(const std::string& path) {
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

}  // namespace

// The kernel starts a "#!" script as "interpreter [one argument] script", so
// the third word is looked at too.
std::string platform::InterpretedScript(std::uint32_t id, const std::vector<std::string>& words) {
  std::string program;
  if (words.size() < 2 || !ExecutablePathOf(id, &program)) return {};
  const Interpreter interpreter = KnownInterpreter(program);
  std::string word;
  if (!ScriptWord(interpreter, words, &word)) return {};
  const std::string running = ProcFile(id, "exe");
  for (const std::string& candidate : {word, words.size() > 2 ? words[2] : std::string()}) {
    std::string path;
    if (!LocateScript(id, candidate, &path)) continue;
    const bool givenByHand = interpreter != Interpreter::kOther && candidate == word;
    if (givenByHand || IsSameFile(ShebangInterpreter(path), running)) return Resolved(path);
  }
  return {};
}
