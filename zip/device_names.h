// Entry names that Windows would read as devices rather than files.
#pragma once

#include <string>

/// True when a segment of the relative output name `relative` (either
/// separator counts) is a Windows device name: CON, PRN, AUX, NUL, the
/// console's CONIN$ and CONOUT$, COM1 to
/// COM9 or LPT1 to LPT9 (also with a superscript 1 to 3), in any case, with
/// any extension and any trailing dots or blanks.
bool namesReservedDevice(const std::string& relative);
