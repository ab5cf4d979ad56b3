// The install engine's checks before the stop: the probe file's life.
// The checks themselves are declared in install/install.h.
#pragma once

#include <string>

/// Removes the probe file that a run killed inside AcceptsNewFile left in `dstPath`.
void RemoveLeftoverProbe(const std::string& dstPath);
