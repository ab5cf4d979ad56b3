// Entry point of the update program; the system's own entry: platform/entry_point.h.
#include "UpGrade/update.h"
#include "platform/entry_point.h"

int ProgramMain(int argc, char* argv[]) { return RunUpdate(argc, argv); }
