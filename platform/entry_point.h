// Where the system enters the program: the command line reaches ProgramMain
// as the program's text (UTF-8 on Windows), split by the C runtime's rules.
#pragma once

/// Defined by the program; its result is the process exit code.
int ProgramMain(int argc, char* argv[]);
