// Windows backend of platform/directory_move.h: the shell and MoveFileExW.
#include "platform/directory_move.h"

#include <cwchar>

#include <windows.h>
#include <shellapi.h>

#include "platform/file_copy.h"
#include "platform/file_system.h"
#include "platform/win32/wide_text.h"

namespace {

// The shell takes lists of paths, each ended by a zero unit and the list by
// a second one; a buffer of 520 units holds one path of at most 518.
constexpr std::size_t kShellBufferSize = 520;
constexpr FILEOP_FLAGS kMoveFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR;
static_assert(kMoveFlags == 0x0214, "no progress, every replacement confirmed, directories made without asking");

// False when `path` does not fit with its two terminating zeros.
bool FillShellList(const std::wstring& path, wchar_t (&buffer)[kShellBufferSize]) {
  std::wmemset(buffer, L'\0', kShellBufferSize);
  if (path.size() > kShellBufferSize - 2) return false;
  std::wmemcpy(buffer, path.data(), path.size());
  return true;
}

// The shell takes plain paths only: given "\\?\" paths it answers 0 and moves
// nothing (measured under Wine). So it moves a tree only while the folder and
// the place it lands in are short enough for the plain form.
bool ShellCanMove(const std::wstring& from, const std::wstring& into) {
  const std::size_t lastSeparator = from.find_last_of(L"\\/");
  const std::size_t nameLength = lastSeparator == std::wstring::npos ? from.size() : from.size() - lastSeparator - 1;
  return platform::FitsPlainPath(from) && platform::FitsPlainPath(into) &&
         platform::FitsPlainPath(into + L"\\" + from.substr(from.size() - nameLength));
}

}  // namespace

platform::MoveOutcome platform::SystemMoveDirectoryInto(const std::string& fromDir, const std::string& intoDir,
                                                        void* ownerWindow) {
  const std::wstring fromWide = WideText(fromDir);
  const std::wstring intoWide = WideText(intoDir);
  if (!ShellCanMove(fromWide, intoWide)) return MoveOutcome::LeftToMerge;
  wchar_t from[kShellBufferSize];
  wchar_t into[kShellBufferSize];
  if (!FillShellList(fromWide, from) || !FillShellList(intoWide, into)) return MoveOutcome::Failed;
  SHFILEOPSTRUCTW operation{};
  operation.hwnd = static_cast<HWND>(ownerWindow);
  operation.wFunc = FO_MOVE;
  operation.pFrom = from;
  operation.pTo = into;
  operation.fFlags = kMoveFlags;
  operation.fAnyOperationsAborted = FALSE;
  operation.hNameMappings = nullptr;
  operation.lpszProgressTitle = nullptr;
  if (SHFileOperationW(&operation) != 0) return MoveOutcome::Failed;
  // Windows merges into a directory of that name. Wine 8.0's shell answers 0
  // and changes nothing there, so the source still standing is the only sign;
  // once no supported Wine behaves so, this answer can be trusted alone.
  return IsExistingDirectory(fromDir) ? MoveOutcome::LeftToMerge : MoveOutcome::Moved;
}

// Written through: a move is on the disk before the next step, as the
// install's journal needs after a power cut.
bool platform::RenameEntry(const std::string& source, const std::string& target) {
  return MoveFileExW(WidePath(source).c_str(), WidePath(target).c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool platform::MoveFileReplacing(const std::string& source, const std::string& target) {
  if (MoveFileExW(WidePath(source).c_str(), WidePath(target).c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE) {
    return true;
  }
  if (GetLastError() != ERROR_NOT_SAME_DEVICE) return false;
  // Across volumes the copy is staged beside the target, flushed and renamed
  // over it, so that a run cut off meanwhile never leaves the target torn.
  return CopyFileReplacing(source, target) && DeleteFileW(WidePath(source).c_str()) != FALSE;
}

bool platform::RemoveEmptyDirectory(const std::string& dir) { return RemoveDirectoryW(WidePath(dir).c_str()) != FALSE; }
