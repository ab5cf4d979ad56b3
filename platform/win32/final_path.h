// Windows backends only: where an open handle really is, and whether it is
// the very entry of its folder that was named, not what a link, junction or
// other reparse point there leads to. Real Windows opens the link itself
// where asked to (kOwnEntryFlags); Wine honours no reparse flag and shows no
// reparse attribute on a Unix link, but the final path of a handle opened
// through one names the link's target.
#pragma once

#include <string>

#include <windows.h>

namespace platform {

/// ERROR_REPARSE_POINT_ENCOUNTERED, which MinGW's headers do not define.
constexpr DWORD kReparsePointEncountered = 4395;

/// The flags that open an entry itself, never what it leads to, where the
/// system can: a folder as well as a file.
constexpr DWORD kOwnEntryFlags = FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS;

/// GetFinalPathNameByHandleW's answer for `handle`; empty when it gives none.
std::wstring FinalPathOf(HANDLE handle);

/// The final path of the folder `path`, links on its way followed (a path
/// the caller names); empty when it cannot be opened.
std::wstring FinalPathOfFolder(const std::string& path);

/// True when the open `handle` is no reparse point and is the entry `name`
/// of the folder whose final path is `folder`, names compared as Windows
/// compares them (where either final path is unknown, the attribute alone
/// decides); otherwise false, with kReparsePointEncountered.
bool IsEntryOf(HANDLE handle, const std::wstring& folder, const std::string& name);

}  // namespace platform
