// Entry point of the update program.
#include "UpGrade/update.h"

int main(int argc, char* argv[]) { return RunUpdate(argc, argv); }
