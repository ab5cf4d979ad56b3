// The small text files of the signature check, read whole: a key, a
// signature, the record of the installed release.
#pragma once

#include <string>

/// Every byte of the file `path` into `text`. False, with the system's code
/// in `error` (0 when the file is larger than any of these files may be), when
/// it cannot be opened or read whole.
bool ReadSmallFile(const std::string& path, std::string& text, int& error);
