// Where the program runs from: its directory, its name, and the log's root.
#pragma once

#include <string>

/// Directory of the running executable, with its trailing separator.
extern std::string ModuleDir;
/// File name of the running executable without its last four characters.
extern std::string ModuleName;
/// Directory below which the log writer keeps its "log" directory.
extern std::string LogRoot;

/// Fills ModuleDir, ModuleName and LogRoot from the executable's path, makes
/// ModuleDir current, sets the C library locale from the environment and,
/// once per process, creates the process cipher.
void InitModuleContext();

std::string GetModuleDir();
std::string GetModuleName();

struct ModulePathParts {
  std::string dir;   ///< up to and including the last separator; empty without one
  std::string name;  ///< the rest, less its last four characters when it has more than three
};

/// Splits an executable's path at the last `separator`, as InitModuleContext does.
ModulePathParts SplitModulePath(const std::string& path, char separator);
