// A stand-in application for the Windows stop: "save" writes "<its own
// path>.saved" when its window is asked to close (WM_CLOSE) and then ends,
// "save-hidden" does so with a window never shown, "ignore" stays;
// "windowless" has no window and logs a line every 50 ms below the log root
// given as its second argument, so that the updater's log shows when it was
// ended. Each appends "<pid>" to "<its own path>.run" once its answer is in
// place, then waits (ten minutes at most).
#include <cstdio>
#include <string>

#include <windows.h>

#include "log/log.h"
#include "platform/file_system.h"
#include "platform/process.h"

namespace {

constexpr DWORD kLifetimeMs = 10 * 60 * 1000;
std::string self;
bool saves = false;

void Record(const std::string& path, const std::string& text) {
  if (std::FILE* file = std::fopen(path.c_str(), "a")) {
    std::fputs(text.c_str(), file);
    std::fclose(file);
  }
}

// DefWindowProc answers WM_CLOSE by destroying the window; one that ignores
// the request keeps it from there.
LRESULT CALLBACK AnswerClose(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE && !saves) return 0;
  if (message == WM_CLOSE) Record(self + ".saved", "saved\n");
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::string answer = argc > 1 ? argv[1] : "";
  self = platform::ExecutablePath().value;
  saves = answer.rfind("save", 0) == 0;
  const std::string started = std::to_string(platform::CurrentProcessId()) + "\n";
  if (answer == "windowless" && argc > 2) {
    SetLogRoot(argv[2]);
    Record(self + ".run", started);
    for (DWORD waited = 0; waited < kLifetimeMs; waited += 50, Sleep(50)) {
      LogWrite(Info, "window_close", 1, "windowless stand-in running");
    }
    return 0;
  }
  WNDCLASSW type{};
  type.lpfnWndProc = AnswerClose;
  type.hInstance = GetModuleHandleW(nullptr);
  type.lpszClassName = L"StandInApplication";
  const HWND window = RegisterClassW(&type)
                          ? CreateWindowW(type.lpszClassName, L"Stand-in", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                          CW_USEDEFAULT, 320, 200, nullptr, nullptr, type.hInstance, nullptr)
                          : nullptr;
  if (window == nullptr) return 1;
  if (answer != "save-hidden") ShowWindow(window, SW_SHOW);
  Record(self + ".run", started);
  SetTimer(nullptr, /*nIDEvent=*/0, kLifetimeMs, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0 && message.message != WM_TIMER) DispatchMessageW(&message);
  return 0;
}
