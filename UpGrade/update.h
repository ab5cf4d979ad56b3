// The update run: the program's entry logic.
#pragma once

/// Runs one update from the command line; the result is the process exit code.
int RunUpdate(int argc, char* argv[]);
