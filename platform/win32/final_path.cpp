// Windows backends only: where an open handle really is.
#include "platform/win32/final_path.h"

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

std::wstring platform::FinalPathOf(HANDLE handle) {
  std::wstring text(MAX_PATH, L'\0');
  DWORD length = GetFinalPathNameByHandleW(handle, &text[0], static_cast<DWORD>(text.size()), 0);
  if (length >= text.size()) {
    text.resize(length + 1);
    length = GetFinalPathNameByHandleW(handle, &text[0], static_cast<DWORD>(text.size()), 0);
  }
  if (length == 0 || length >= text.size()) return {};
  text.resize(length);
  return text;
}

std::wstring platform::FinalPathOfFolder(const std::string& path) {
  const UniqueHandle folder(CreateFileW(WidePath(path).c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return folder.ok() ? FinalPathOf(folder.get()) : std::wstring();
}

// Wine tells no final path beyond 260 characters: the attributes are all
// there is to go by then.
bool platform::IsEntryOf(HANDLE handle, const std::wstring& folder, const std::string& name) {
  BY_HANDLE_FILE_INFORMATION information{};
  // A volume's root ends in its separator already.
  const std::wstring expected = folder + (!folder.empty() && folder.back() == L'\\' ? L"" : L"\\") + WideText(name);
  const std::wstring found = FinalPathOf(handle);
  if (GetFileInformationByHandle(handle, &information) &&
      (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 &&
      (folder.empty() || found.empty() ||
       CompareStringOrdinal(found.c_str(), static_cast<int>(found.size()), expected.c_str(),
                            static_cast<int>(expected.size()), /*bIgnoreCase=*/TRUE) == CSTR_EQUAL)) {
    return true;
  }
  SetLastError(kReparsePointEncountered);
  return false;
}
