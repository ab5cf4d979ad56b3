// Windows backend of platform/directory_move.h: the shell and MoveFileExA.
#include "platform/directory_move.h"

#include <cstring>

#include <windows.h>
#include <shellapi.h>

#include "platform/file_system.h"

namespace {

// The shell takes lists of paths, each ended by a zero byte and the list by
// a second one; a buffer of 520 bytes holds one path of at most 518.
constexpr std::size_t kShellBufferSize = 520;
constexpr FILEOP_FLAGS kMoveFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR;
static_assert(kMoveFlags == 0x0214, "no progress, every replacement confirmed, directories made without asking");

// False when `path` does not fit with its two terminating zeros.
bool FillShellList(const std::string& path, char (&buffer)[kShellBufferSize]) {
  std::memset(buffer, 0, kShellBufferSize);
  if (path.size() > kShellBufferSize - 2) return false;
  std::memcpy(buffer, path.data(), path.size());
  return true;
}

}  // namespace

platform::MoveOutcome platform::SystemMoveDirectoryInto(const std::string& fromDir, const std::string& intoDir,
                                                        void* ownerWindow) {
  char from[kShellBufferSize];
  char into[kShellBufferSize];
  if (!FillShellList(fromDir, from) || !FillShellList(intoDir, into)) return MoveOutcome::Failed;
  SHFILEOPSTRUCTA operation{};
  operation.hwnd = static_cast<HWND>(ownerWindow);
  operation.wFunc = FO_MOVE;
  operation.pFrom = from;
  operation.pTo = into;
  operation.fFlags = kMoveFlags;
  operation.fAnyOperationsAborted = FALSE;
  operation.hNameMappings = nullptr;
  operation.lpszProgressTitle = nullptr;
  if (SHFileOperationA(&operation) != 0) return MoveOutcome::Failed;
  // Windows merges into a directory of that name. Wine 8.0's shell answers 0
  // and changes nothing there, so the source still standing is the only sign;
  // once no supported Wine behaves so, this answer can be trusted alone.
  return IsExistingDirectory(fromDir) ? MoveOutcome::LeftToMerge : MoveOutcome::Moved;
}

bool platform::RenameEntry(const std::string& source, const std::string& target) {
  return MoveFileExA(source.c_str(), target.c_str(), /*dwFlags=*/0) != FALSE;
}

bool platform::MoveFileReplacing(const std::string& source, const std::string& target) {
  return MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

bool platform::RemoveEmptyDirectory(const std::string& dir) { return RemoveDirectoryA(dir.c_str()) != FALSE; }
