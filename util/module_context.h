// Where the program runs from: its directory and its name. The log's root: log/log.h.
#pragma once

#include <string>

/// Directory of the running executable, with its trailing separator.
extern std::string ModuleDir;
/// File name of the running executable without its last four characters.
extern std::string ModuleName;

/// Fills ModuleDir, ModuleName and the log's root from the executable's path, makes
/// ModuleDir current, sets the C library locale from the environment and,
/// once per process, creates the process cipher.
void InitModuleContext();

/// The system's code for why InitModuleContext could not make ModuleDir
/// current (a folder longer than the system lets be current); 0 when it did.
int ModuleDirNotCurrentError();

std::string GetModuleDir();
std::string GetModuleName();

struct ModulePathParts {
  std::string dir;   ///< up to and including the last separator; empty without one
  std::string name;  ///< the rest, less its last four characters when it has more than three
};

/// Splits an executable's path at the last `separator`, as InitModuleContext does.
ModulePathParts SplitModulePath(const std::string& path, char separator);
