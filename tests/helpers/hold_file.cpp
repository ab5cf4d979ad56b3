// Windows test helper: opens the file named by its first argument without
// sharing, as a running program or a virus scanner may hold a file, writes
// "<file>.held" once it holds it, then sleeps until it is killed (or ten
// minutes pass), or lets go after the seconds a second argument gives.
#include <cstdlib>
#include <string>

#include <windows.h>

#include "platform/win32/unique_handle.h"

int main(int argc, char* argv[]) {
  if (argc != 2 && argc != 3) return 2;
  const platform::UniqueHandle held(CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, /*dwShareMode=*/0, nullptr,
                                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!held.ok()) return 1;
  const std::string marker = std::string(argv[1]) + ".held";
  {
    const platform::UniqueHandle signal(CreateFileA(marker.c_str(), GENERIC_WRITE, /*dwShareMode=*/0, nullptr,
                                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!signal.ok() || !WriteFile(signal.get(), "held", 4, &written, nullptr)) return 1;
  }
  Sleep(argc == 3 ? static_cast<DWORD>(std::atoi(argv[2])) * 1000 : 10 * 60 * 1000);
  return 0;
}
