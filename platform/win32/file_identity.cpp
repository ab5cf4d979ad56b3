// Windows backend of platform/file_identity.h.
#include "platform/file_identity.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "platform/file_names.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace {

// Opened only to ask for its number: no access, every sharing mode, so a file
// that another program holds open can still be looked at.
bool ReadFileNumber(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
  const platform::UniqueHandle file(CreateFileW(
      platform::WidePath(path).c_str(), /*dwDesiredAccess=*/0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      /*lpSecurityAttributes=*/nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, /*hTemplateFile=*/nullptr));
  return file.ok() && GetFileInformationByHandle(file.get(), &info) != FALSE;
}

bool SameNumber(const std::string& left, const std::string& right) {
  BY_HANDLE_FILE_INFORMATION first{}, second{};
  if (!ReadFileNumber(left, first) || !ReadFileNumber(right, second)) return false;
  return first.dwVolumeSerialNumber == second.dwVolumeSerialNumber && first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

// The root of the volume `path` lies on, without its closing separator: a
// drive ("C:"), a share, or the folder a volume is mounted on, in its long
// name. Empty when the system cannot tell.
std::string VolumeRoot(const std::string& path) {
  std::vector<wchar_t> root(32768, L'\0'), longRoot(32768, L'\0');
  if (!GetVolumePathNameW(platform::WidePath(path).c_str(), root.data(), static_cast<DWORD>(root.size()))) return {};
  const DWORD length = GetLongPathNameW(root.data(), longRoot.data(), static_cast<DWORD>(longRoot.size()));
  std::string text = platform::Utf8Text(length > 0 && length < longRoot.size() ? longRoot.data() : root.data());
  while (!text.empty() && text.back() == '\\') text.pop_back();
  // "\\?\C:\..." names what "C:\..." does.
  if (text.rfind("\\\\?\\", 0) == 0 && text.size() > 5 && text[5] == ':') text.erase(0, 4);
  return text;
}

// A mount point is told by its name in the folder above it: a folder holds
// one entry of a name. Mounts within mounts are followed this deep at most.
constexpr int kMountDepth = 8;

// A drive's root or a share's names no folder of another volume: a drive
// letter may stand for any folder, so it tells nothing more.
bool IsDriveOrShare(const std::string& root) {
  return root.find('\\') == std::string::npos || root.rfind("\\\\", 0) == 0;
}

// Wine gives the file systems without a device (tmpfs and the like) one
// volume serial, 0, and each numbers its files from the same start, so two
// folders on two of them may share serial and number alike. Where both lie
// on volumes mounted on folders, those folders tell them apart.
bool SameVolumeFile(const std::string& left, const std::string& right, int depth) {
  if (!SameNumber(left, right)) return false;
  const std::string one = VolumeRoot(left), other = VolumeRoot(right);
  if (one.empty() || other.empty() || IsDriveOrShare(one) || IsDriveOrShare(other) || depth == kMountDepth) {
    return true;
  }
  const std::size_t cutOne = one.rfind('\\'), cutOther = other.rfind('\\');
  return SameNumber(one + "\\", other + "\\") &&
         platform::SameFileName(one.substr(cutOne + 1), other.substr(cutOther + 1)) &&
         SameVolumeFile(one.substr(0, cutOne) + "\\", other.substr(0, cutOther) + "\\", depth + 1);
}

}  // namespace

bool platform::IsSameFile(const std::string& left, const std::string& right) { return SameVolumeFile(left, right, 0); }

// Wine gives every Unix file system without a device the volume serial 0:
// there the file number alone tells installations apart.
platform::SystemRead<std::string> platform::FileIdentity(const std::string& path) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!ReadFileNumber(path, info)) return {{}, static_cast<int>(GetLastError())};
  char text[32];
  std::snprintf(text, sizeof text, "%lx-%lx%08lx", info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow);
  return {text, 0};
}
