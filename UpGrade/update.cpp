// The update run: reads the options and drives the update steps.
#include "UpGrade/update.h"

#include "util/log.h"
#include "util/module_context.h"

namespace {
constexpr const char kSourceFile[] = "UpGrade/update";
}  // namespace

int RunUpdate(int /*argc*/, char* /*argv*/[]) {
  InitModuleContext();
  LogWrite(Info, kSourceFile, __LINE__, "update started");
  return 0;
}
