// POSIX backend of platform/entry_point.h: the arguments' bytes as they come.
#include "platform/entry_point.h"

int main(int argc, char* argv[]) { return ProgramMain(argc, argv); }
