/* Starting the updater from an application on Linux: update lies beside the
   application, which is the installation; it is started in a session of
   its own, so that closing the terminal or killing the application's process
   group does not end it, and the application may exit at once. Started
   again by the updater, the application learns the outcome.
   Build: cc -o start_update_linux start_update_linux.c
   Run:   start_update_linux APP /var/cache/app/new.zip
          start_update_linux    (as the updater starts it again) */
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

extern char** environ;

/* Starts update from this program's folder to install `zipFile` over that
   folder, stopping and restarting `exeName`. 0, or an errno value. */
int StartUpdater(const char* exeName, const char* zipFile) {
  char folder[PATH_MAX], updater[PATH_MAX + 8];
  ssize_t length = readlink("/proc/self/exe", folder, sizeof folder - 1);
  if (length <= 0 || length >= (ssize_t)sizeof folder - 1) return ENAMETOOLONG;
  folder[length] = '\0';
  *strrchr(folder, '/') = '\0';
  snprintf(updater, sizeof updater, "%s/update", folder);
  char* const argv[] = {updater, "--exeName", (char*)exeName, "--zipFile", (char*)zipFile, "--dstPath", folder, NULL};

  /* A new session: no terminal's hangup and no signal to the application's
     process group reaches it. Its standard streams on /dev/null: a pipe
     whose reader is gone would end it at its first line of output. Open your
     own files and sockets with O_CLOEXEC: the updater holds every other
     descriptor it inherits until it ends. */
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  posix_spawn_file_actions_t streams;
  posix_spawn_file_actions_init(&streams);
  for (int fd = 0; fd <= 2; ++fd) {
    posix_spawn_file_actions_addopen(&streams, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
  }
  pid_t pid;
  int error = posix_spawn(&pid, updater, &streams, &attributes, argv, environ);
  posix_spawn_file_actions_destroy(&streams);
  posix_spawnattr_destroy(&attributes);
  return error;
}

/* True once process `pid` has ended: gone, or ended and not yet reaped by
   its parent (state Z). */
static int ProcessEnded(long pid) {
  char path[64], stat[512];
  snprintf(path, sizeof path, "/proc/%ld/stat", pid);
  FILE* file = fopen(path, "r");
  if (file == NULL) return 1;
  size_t length = fread(stat, 1, sizeof stat - 1, file);
  fclose(file);
  stat[length] = '\0';
  /* The state follows the program's name in parentheses, which may hold ")". */
  const char* name_end = strrchr(stat, ')');
  return name_end == NULL || name_end[1] == '\0' || name_end[2] == 'Z';
}

/* At start: when the updater started this program again, UPDATER_PID names
   the updater, which is still writing its last lines, and UPDATER_LOG the
   file they go to. Waits for that process to end (a minute at most), then
   copies the last line of the file, the run's closing line, into `outcome`.
   1 when it is line 242 (the update went well), 0 when not, -1 when this
   program was not started by the updater. */
int UpdateOutcome(char* outcome, size_t size) {
  const char* pid = getenv("UPDATER_PID");
  const char* log = getenv("UPDATER_LOG");
  if (pid == NULL || log == NULL || *pid == '\0') return -1;
  for (int tenths = 0; tenths < 600 && !ProcessEnded(atol(pid)); ++tenths) usleep(100 * 1000);
  outcome[0] = '\0';
  FILE* file = fopen(log, "r");
  if (file == NULL) return 0;
  char line[4200];
  while (fgets(line, sizeof line, file) != NULL) {
    line[strcspn(line, "\r\n")] = '\0';
    if (line[0] != '\0') snprintf(outcome, size, "%s", line);
  }
  fclose(file);
  return strstr(outcome, "UpGrade/update 242 ") != NULL;
}

int main(int argc, char** argv) {
  if (argc == 1) {
    char outcome[4200];
    int updated = UpdateOutcome(outcome, sizeof outcome);
    if (updated >= 0) {
      printf("%s\n", outcome);
      return updated ? 0 : 1;
    }
  }
  if (argc != 3) {
    fprintf(stderr, "usage: start_update_linux APP ZIP\n");
    return 2;
  }
  int error = StartUpdater(argv[1], argv[2]);
  if (error != 0) {
    fprintf(stderr, "update did not start: %s\n", strerror(error));
    return 1;
  }
  /* Exit now, or keep running: the updater stops the application either way
     (one that keeps running reaps it with waitpid, should it end first).
     How the update went is in the updater's log, never in an exit code this
     program could wait for: the application started again reads it
     (UpdateOutcome). */
  return 0;
}
