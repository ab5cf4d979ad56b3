/* Linux test helper, part of the fault library: with UPDATE_CRASH_RECORD
 * naming a file, it notes there, one line a call and in the order they
 * ended, every call of the run that changes what a power cut may keep:
 * entries made, renamed and removed, bytes written (the C library's buffered
 * writes at each fflush, as the whole file), files and folders flushed, the
 * volume flushed. With UPDATE_FAULT_FLUSH_ENDS, every flush of a file or
 * folder whose path ends with that text fails with EIO. The lines are
 * "<call>\t<path>[\t<second path or offset>\t<bytes in hex>]". */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "crash_recorder.h"

/* Recursive: a hook holds it across its call and the note, and the note
 * itself takes it again. */
static pthread_mutex_t recording = PTHREAD_RECURSIVE_MUTEX_INITIALIZER_NP;
static int record = -1;

typedef void (*NextFunction)(void);

/* The C library's definition of `name`. */
static NextFunction Next(const char* name) {
  void* symbol = dlsym(RTLD_NEXT, name);
  NextFunction function;
  memcpy(&function, &symbol, sizeof function);
  return function;
}

/* The record's own writes go straight to the system, never through the hooks. */
static void Put(const char* text, size_t length) {
  while (length > 0) {
    const long put = syscall(SYS_write, record, text, length);
    if (put <= 0) return;
    text += put;
    length -= (size_t)put;
  }
}

static int Recording(void) {
  if (record >= 0) return 1;
  const char* path = getenv("UPDATE_CRASH_RECORD");
  if (path == NULL) return 0;
  record = (int)syscall(SYS_openat, AT_FDCWD, path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  return record >= 0;
}

static void PathOfFd(int fd, char* path, size_t size) {
  char link[64];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t length = readlink(link, path, size - 1);
  path[length < 0 ? 0 : length] = '\0';
}

static void PathAt(int dir, const char* name, char* path, size_t size) {
  if (dir == AT_FDCWD || name[0] == '/') {
    snprintf(path, size, "%s", name);
    return;
  }
  PathOfFd(dir, path, size);
  const size_t length = strlen(path);
  snprintf(path + length, size - length, "/%s", name);
}

/* One line; `bytes` (may be NULL) in hex after `second`. */
static void Line(const char* call, const char* first, const char* second, const char* bytes, size_t count) {
  if (!Recording()) return;
  static const char digits[] = "0123456789abcdef";
  char* hex = malloc(count * 2 + 1);
  if (hex == NULL) return;
  for (size_t i = 0; i < count; ++i) {
    hex[2 * i] = digits[(unsigned char)bytes[i] >> 4];
    hex[2 * i + 1] = digits[(unsigned char)bytes[i] & 15];
  }
  hex[2 * count] = '\0';
  char head[9000];
  const int length = snprintf(head, sizeof head, "%s\t%s\t%s\t", call, first, second == NULL ? "" : second);
  Put(head, (size_t)length);
  Put(hex, 2 * count);
  Put("\n", 1);
  free(hex);
}

void RecordEntry(const char* call, int dir, const char* name, int toDir, const char* to) {
  if (getenv("UPDATE_CRASH_RECORD") == NULL) return;
  char path[4096];
  char second[4096] = "";
  PathAt(dir, name, path, sizeof path);
  if (to != NULL) PathAt(toDir, to, second, sizeof second);
  pthread_mutex_lock(&recording);
  Line(call, path, second, NULL, 0);
  pthread_mutex_unlock(&recording);
}

void LockRecord(void) { pthread_mutex_lock(&recording); }
void UnlockRecord(void) { pthread_mutex_unlock(&recording); }

int NewEntry(int dir, const char* name) {
  struct stat status;
  return fstatat(dir, name, &status, AT_SYMLINK_NOFOLLOW) != 0;
}

/* The whole content of the file open as `fd`, noted as written at offset 0. */
static void RecordWholeFile(const char* call, int fd) {
  char path[4096];
  PathOfFd(fd, path, sizeof path);
  struct stat status;
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    Line(call, path, NULL, NULL, 0);
    return;
  }
  char* bytes = malloc((size_t)status.st_size + 1);
  const int readable = (int)syscall(SYS_openat, AT_FDCWD, path, O_RDONLY | O_CLOEXEC);
  const ssize_t got = readable < 0 || bytes == NULL ? -1 : pread(readable, bytes, (size_t)status.st_size, 0);
  if (readable >= 0) close(readable);
  Line(call, path, "0", bytes, got < 0 ? 0 : (size_t)got);
  free(bytes);
}

static int FlushRefused(int fd) {
  const char* end = getenv("UPDATE_FAULT_FLUSH_ENDS");
  if (end == NULL) return 0;
  char path[4096];
  PathOfFd(fd, path, sizeof path);
  const size_t length = strlen(path);
  if (length < strlen(end) || strcmp(path + length - strlen(end), end) != 0) return 0;
  errno = EIO;
  return 1;
}

ssize_t write(int fd, const void* bytes, size_t count) {
  ssize_t (*real)(int, const void*, size_t) = (ssize_t(*)(int, const void*, size_t))Next("write");
  if (getenv("UPDATE_CRASH_RECORD") == NULL) return real(fd, bytes, count);
  LockRecord();
  const off_t at = lseek(fd, 0, SEEK_CUR);
  const ssize_t put = real(fd, bytes, count);
  if (put > 0 && at >= 0) {
    char path[4096];
    char offset[32];
    PathOfFd(fd, path, sizeof path);
    snprintf(offset, sizeof offset, "%lld", (long long)at);
    if (strncmp(path, "/proc", 5) != 0 && path[0] == '/') Line("write", path, offset, bytes, (size_t)put);
  }
  UnlockRecord();
  return put;
}

int fflush(FILE* file) {
  const int flushed = ((int (*)(FILE*))Next("fflush"))(file);
  if (flushed != 0 || file == NULL || getenv("UPDATE_CRASH_RECORD") == NULL) return flushed;
  const int fd = fileno(file);
  const int mode = fcntl(fd, F_GETFL);
  if (mode < 0 || (mode & O_ACCMODE) == O_RDONLY || (mode & O_APPEND) != 0) return flushed;
  LockRecord();
  RecordWholeFile("write", fd);
  UnlockRecord();
  return flushed;
}

#define RECORDED_FLUSH(name)                                                               \
  int name(int fd) {                                                                       \
    if (FlushRefused(fd)) return -1;                                                       \
    LockRecord();                                                                          \
    const int flushed = ((int (*)(int))Next(#name))(fd);                                   \
    if (flushed == 0 && getenv("UPDATE_CRASH_RECORD") != NULL) RecordWholeFile(#name, fd); \
    UnlockRecord();                                                                        \
    return flushed;                                                                        \
  }

RECORDED_FLUSH(fsync)
RECORDED_FLUSH(fdatasync)
RECORDED_FLUSH(syncfs)

#define RECORDED_MKOSTEMP(name)                                            \
  int name(char* pattern, int flags) {                                     \
    const int fd = ((int (*)(char*, int))Next(#name))(pattern, flags);     \
    if (fd >= 0) RecordEntry("create", AT_FDCWD, pattern, AT_FDCWD, NULL); \
    return fd;                                                             \
  }

RECORDED_MKOSTEMP(mkostemp)
RECORDED_MKOSTEMP(mkostemp64)
