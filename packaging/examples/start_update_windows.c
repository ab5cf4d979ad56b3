/* Starting the updater from an application on Windows: update.exe lies
   beside the application, which is the installation; it is started detached
   and out of the application's job, so that nothing that ends the
   application ends it, and the application may exit at once. Started again
   by the updater, the application learns the outcome.
   Build: cl start_update_windows.c, or gcc -municode start_update_windows.c
   Run:   start_update_windows APP.EXE C:\Downloads\new.zip
          start_update_windows    (as the updater starts it again) */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

enum { kPathSize = 4096, kLineSize = 3 * kPathSize + 256 };

/* Appends `value` in double quotes as the C runtime splits a command line:
   backslashes before the closing quote are doubled ("C:\" would otherwise
   escape it). Paths hold no double quote. */
static void AppendQuoted(wchar_t* line, const wchar_t* value) {
  size_t length = wcslen(value), slashes = 0;
  while (slashes < length && value[length - 1 - slashes] == L'\\') ++slashes;
  wcscat(line, L" \"");
  wcscat(line, value);
  while (slashes-- > 0) wcscat(line, L"\\");
  wcscat(line, L"\"");
}

/* Starts update.exe from this program's folder to install `zipFile` over that
   folder, stopping and restarting `exeName`. 0, or the system's error. */
DWORD StartUpdater(const wchar_t* exeName, const wchar_t* zipFile) {
  static wchar_t folder[kPathSize], updater[kPathSize + 16], line[kLineSize];
  DWORD length = GetModuleFileNameW(NULL, folder, kPathSize);
  if (length == 0 || length == kPathSize) return ERROR_BAD_PATHNAME;
  *wcsrchr(folder, L'\\') = L'\0';
  if (wcslen(zipFile) + wcslen(exeName) >= kPathSize) return ERROR_BAD_PATHNAME;
  swprintf(updater, kPathSize + 16, L"%ls\\update.exe", folder);

  line[0] = L'\0';
  AppendQuoted(line, updater);
  wcscat(line, L" --exeName");
  AppendQuoted(line, exeName);
  wcscat(line, L" --zipFile");
  AppendQuoted(line, zipFile);
  wcscat(line, L" --dstPath");
  AppendQuoted(line, folder);

  /* No handle is inherited, no console is shared; CREATE_BREAKAWAY_FROM_JOB
     takes it out of a job that would end it with the application. A job that
     allows no breakaway refuses the flag (error 5): then it is started in the
     job, which its owner must keep open until the update is done. */
  STARTUPINFOW startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  DWORD flags = DETACHED_PROCESS | CREATE_BREAKAWAY_FROM_JOB;
  BOOL started = CreateProcessW(updater, line, NULL, NULL, FALSE, flags, NULL, folder, &startup, &process);
  if (!started && GetLastError() == ERROR_ACCESS_DENIED) {
    flags &= ~(DWORD)CREATE_BREAKAWAY_FROM_JOB;
    started = CreateProcessW(updater, line, NULL, NULL, FALSE, flags, NULL, folder, &startup, &process);
  }
  if (!started) return GetLastError();
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}

/* At start: when the updater started this program again, UPDATER_PID names
   the updater, which is still writing its last lines, and UPDATER_LOG the
   file they go to. Waits for that process to end (a minute at most), then
   copies the last line of the file, the run's closing line, into `outcome`.
   1 when it is line 242 (the update went well), 0 when not, -1 when this
   program was not started by the updater. */
int UpdateOutcome(char* outcome, size_t size) {
  const wchar_t* pid = _wgetenv(L"UPDATER_PID");
  const wchar_t* log = _wgetenv(L"UPDATER_LOG");
  if (pid == NULL || log == NULL || *pid == L'\0') return -1;
  HANDLE updater = OpenProcess(SYNCHRONIZE, FALSE, wcstoul(pid, NULL, 10));
  if (updater != NULL) {
    WaitForSingleObject(updater, 60 * 1000);
    CloseHandle(updater);
  }
  outcome[0] = '\0';
  FILE* file = _wfopen(log, L"rb");
  if (file == NULL) return 0;
  char line[4200];
  while (fgets(line, sizeof line, file) != NULL) {
    line[strcspn(line, "\r\n")] = '\0';
    if (line[0] != '\0') snprintf(outcome, size, "%s", line);
  }
  fclose(file);
  return strstr(outcome, "UpGrade/update 242 ") != NULL;
}

int wmain(int argc, wchar_t** argv) {
  if (argc == 1) {
    static char outcome[4200];
    int updated = UpdateOutcome(outcome, sizeof outcome);
    if (updated >= 0) {
      printf("%s\n", outcome);
      return updated ? 0 : 1;
    }
  }
  if (argc != 3) {
    fwprintf(stderr, L"usage: start_update_windows APP.EXE ZIP\n");
    return 2;
  }
  DWORD error = StartUpdater(argv[1], argv[2]);
  if (error != 0) {
    fwprintf(stderr, L"update.exe did not start: error %lu\n", error);
    return 1;
  }
  /* Exit now, or keep running: the updater stops the application either way.
     How the update went is in the updater's log, never in an exit code this
     program could wait for: the application started again reads it
     (UpdateOutcome). */
  return 0;
}
