// Why an extraction failed, in the log: one line naming the entry or path
// and the cause, written right before "Extract File Ret:0".
#pragma once

#include <string>

#include "zip/extraction_failure.h"

/// Logs `failure`; where it notes nothing, logs `errorText` (the text of
/// what the reader threw, when it threw) as the archive's error.
void LogExtractionFailure(const ExtractionFailure& failure, const std::string& errorText);
