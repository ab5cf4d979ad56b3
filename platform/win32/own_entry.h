// Windows backends only: whether an opened handle is the very entry of its
// folder that was named, not what a link, junction or other reparse point
// there leads to. Real Windows opens the link itself where asked to
// (FILE_FLAG_OPEN_REPARSE_POINT); Wine opens what a Unix link names whatever
// the flags say and shows no reparse point, so where the handle really leads
// is compared too.
#pragma once

#include <string>

#include <windows.h>

namespace platform {

/// The flags that open an entry itself, never what it leads to, where the
/// system can: a folder as well as a file.
constexpr DWORD kOwnEntryFlags = FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS;

/// True when `entry`, opened by the path `folder` + "\" + `name`, is that
/// entry itself: no reparse point, and the path the system resolved for it
/// is the folder's own followed by `name`. Where the system tells no final
/// path (Wine beyond 260 characters) the attributes decide.
bool IsOwnEntry(HANDLE entry, const std::wstring& folder, const std::wstring& name);

}  // namespace platform
