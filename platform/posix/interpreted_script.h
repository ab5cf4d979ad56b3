// Linux: the script an interpreter process runs, for the stop's rule that a
// script application's processes are those of its interpreter.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

/// The script that process `id`, started with `words`, runs as an
/// interpreter, as an absolute path with links resolved; empty when it runs
/// none. It runs one when its program is the interpreter the file's "#!"
/// line names (through env too), or a shell (sh, bash, dash, ash, ksh, mksh,
/// zsh), Python or Node given the file as its script: the first word after
/// the program that is no option, none at all after an option that takes the
/// program from the command line (sh -c, python -c or -m, node -e or -p).
/// A relative word is found through the descriptor the interpreter still
/// holds the script open by, else from its current directory.
std::string InterpretedScript(std::uint32_t id, const std::vector<std::string>& words);

}  // namespace platform
