// The words the log gives each cause the engine reports as a value: why an
// entry is refused ("Entry Refused:%s, Reason:%s") and which step of the
// install failed ("Install Failed At:%s, ..."). Where each cause is decided:
// CONTRIBUTING.md.
#pragma once

#include <string>

#include "install/install.h"
#include "zip/extraction_failure.h"

/// Why the entry of the refused `failure` may not be written, as the log
/// says it; empty for EntryRefusal::kNone.
std::string RefusalReason(const ExtractionFailure& failure);

/// The entry of `failure` as the log names it, escaped whole (EscapedText):
/// a NUL inside a stored name is shown, where a C string would end.
std::string LoggedEntryName(const ExtractionFailure& failure);

/// The name the log gives `step`; empty for InstallStep::kNone.
const char* InstallStepName(InstallStep step);
