// The driver's stopping of the application it updates.
#include "UpGrade/process_operations.h"

#include "util/process_control.h"

bool KillProcessByName(const std::string& processName) { return TerminateProcessesNamed(processName); }
