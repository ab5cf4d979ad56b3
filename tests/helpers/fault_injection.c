/* Linux test helper, preloaded into the updater (LD_PRELOAD), never shipped:
 * counts the calls that change the file system and, at the call numbered
 * UPDATE_FAULT_AT, either fails it (errno UPDATE_FAULT_ERRNO, default EIO)
 * or, with UPDATE_FAULT_KILL=1, kills the process as kill -9 would. At exit
 * it writes the count to the file UPDATE_FAULT_COUNT, so that a test can
 * first learn how many points a run has. Log appends are not counted.
 * With UPDATE_FAULT_FILL, the first signal the updater sends (the stop of
 * the application, after the extraction; by kill or through a process
 * descriptor) first fills the disk by writing that file until no room is
 * left, then gives back a little, enough for small files but not for large
 * ones. With UPDATE_FAULT_RENAME_FROM, every
 * rename of that very path fails with EBUSY, as the rename of a folder in use
 * does, after it is counted; with UPDATE_FAULT_BUSY_TIMES, only that many
 * first ones, as a file held for a moment is. With UPDATE_FAULT_PATH_ENDS, every directory
 * made or file opened for writing whose path ends with that text fails
 * (errno as above), after it is counted; with UPDATE_FAULT_LIST_ENDS, every
 * directory opened for listing whose path ends so. With UPDATE_FAULT_LOADED,
 * it makes that file as it is loaded, so that a test learns that its faults
 * could happen at all: a static program ignores LD_PRELOAD. The calls
 * relative to a directory descriptor (renameat, unlinkat, mkdirat, openat
 * for writing) count as their path forms do, and the settings that name a
 * path match the descriptor's folder joined with the name. With
 * UPDATE_FAULT_SWAP naming a folder and UPDATE_FAULT_SWAP_TO another, as the
 * file UPDATE_FAULT_SWAP_WHEN (a name it ends with) is made the folder is
 * renamed away and replaced by a link to the other (with UPDATE_FAULT_SWAP_MOVE
 * set, by the other itself, moved there), as a process that can write the
 * installation could do. With UPDATE_FAULT_REWRITE naming a file and
 * UPDATE_FAULT_REWRITE_WITH another, as the archive reader first opens its
 * archive (fopen64, mode "rbe"), the first file's bytes are replaced in place
 * by the other's, as someone who can write the archive could do between its
 * signature check and its extraction. With UPDATE_FAULT_FLOCK_ERRNO, every flock
 * fails with that errno (ENOLCK: a file system without locks). With
 * UPDATE_FAULT_PLANT_WHEN (a name a path ends with) and UPDATE_FAULT_PLANT_TO,
 * just before a file is opened for writing or a directory made at such a
 * path, a link to the other is planted there (or at UPDATE_FAULT_PLANT_AT),
 * once, as a process that can write the installation could do at that moment. */
#define _GNU_SOURCE
#include <dirent.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#ifndef SYS_pidfd_send_signal
#define SYS_pidfd_send_signal 424
#endif

#include "crash_recorder.h"

/* Counted atomically: the updater spreads some steps over threads, and each
 * number must trip once. */
static long calls;

static long Setting(const char* name) {
  const char* value = getenv(name);
  return value == NULL ? 0 : atol(value);
}

/* True when this call is to fail; does not return when it is to be killed. */
static int Trip(void) {
  const long at = Setting("UPDATE_FAULT_AT");
  if (__atomic_add_fetch(&calls, 1, __ATOMIC_SEQ_CST) != at) return 0;
  if (Setting("UPDATE_FAULT_KILL") == 1) raise(SIGKILL);
  const long code = Setting("UPDATE_FAULT_ERRNO");
  errno = code == 0 ? EIO : (int)code;
  return 1;
}

typedef void (*AnyFunction)(void);

/* The next definition of `name`, the C library's. */
static AnyFunction Real(const char* name) {
  void* symbol = dlsym(RTLD_NEXT, name);
  AnyFunction function;
  memcpy(&function, &symbol, sizeof function);
  return function;
}

__attribute__((constructor)) static void MarkLoaded(void) {
  const char* path = getenv("UPDATE_FAULT_LOADED");
  if (path == NULL) return;
  int (*realOpen)(const char*, int, ...) = (int (*)(const char*, int, ...))Real("open");
  const int fd = realOpen(path, O_WRONLY | O_CREAT, 0644);
  if (fd >= 0) close(fd);
}

__attribute__((destructor)) static void WriteCount(void) {
  const char* path = getenv("UPDATE_FAULT_COUNT");
  if (path == NULL) return;
  FILE* (*realFopen)(const char*, const char*) = (FILE * (*)(const char*, const char*)) Real("fopen");
  FILE* file = realFopen(path, "w");
  if (file == NULL) return;
  fprintf(file, "%ld\n", __atomic_load_n(&calls, __ATOMIC_SEQ_CST));
  fclose(file);
}

/* Writes `path` until the disk is full, then leaves 256 KiB free. */
static void Fill(const char* path) {
  int (*realOpen)(const char*, int, ...) = (int (*)(const char*, int, ...))Real("open");
  ssize_t (*realWrite)(int, const void*, size_t) = (ssize_t(*)(int, const void*, size_t))Real("write");
  const int fd = realOpen(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return;
  static char chunk[1 << 16];
  memset(chunk, 'f', sizeof chunk);
  off_t size = 0;
  for (ssize_t put; (put = realWrite(fd, chunk, sizeof chunk)) > 0;) size += put;
  if (ftruncate(fd, size > (256 << 10) ? size - (256 << 10) : 0) != 0) {
  }
  close(fd);
}

static void FillOnce(void) {
  static int filled;
  const char* fill = getenv("UPDATE_FAULT_FILL");
  if (fill != NULL && !filled) {
    filled = 1;
    Fill(fill);
  }
}

int kill(pid_t pid, int signal) {
  FillOnce();
  return ((int (*)(pid_t, int))Real("kill"))(pid, signal);
}

/* Where the kernel has process descriptors, the updater signals through them. */
long syscall(long number, ...) {
  va_list list;
  va_start(list, number);
  long args[6];
  for (int i = 0; i < 6; ++i) args[i] = va_arg(list, long);
  va_end(list);
  if (number == SYS_pidfd_send_signal) FillOnce();
  return ((long (*)(long, ...))Real("syscall"))(number, args[0], args[1], args[2], args[3], args[4], args[5]);
}

#define COUNTED(result, name, params, args)     \
  result name params {                          \
    if (Trip()) return (result)-1;              \
    return ((result(*) params)Real(#name))args; \
  }

/* True, with errno set, when `path` ends with the setting `name`. */
static int EndsAs(const char* path, const char* name) {
  const char* end = getenv(name);
  if (end == NULL || path == NULL) return 0;
  const size_t length = strlen(path);
  const size_t endLength = strlen(end);
  if (length < endLength || strcmp(path + length - endLength, end) != 0) return 0;
  const long code = Setting("UPDATE_FAULT_ERRNO");
  errno = code == 0 ? EIO : (int)code;
  return 1;
}

static int Targeted(const char* path) { return EndsAs(path, "UPDATE_FAULT_PATH_ENDS"); }

DIR* opendir(const char* path) {
  if (EndsAs(path, "UPDATE_FAULT_LIST_ENDS")) return NULL;
  return ((DIR * (*)(const char*)) Real("opendir"))(path);
}

/* The path `name` names relative to the directory descriptor `dir`, in
 * `path` of `size` bytes. */
static const char* AtPath(int dir, const char* name, char* path, size_t size) {
  if (dir == AT_FDCWD || name[0] == '/') return name;
  char link[64];
  snprintf(link, sizeof link, "/proc/self/fd/%d", dir);
  const ssize_t length = readlink(link, path, size - 1);
  if (length < 0) return name;
  snprintf(path + length, size - (size_t)length, "/%s", name);
  return path;
}

/* Swaps the folder UPDATE_FAULT_SWAP for a link to UPDATE_FAULT_SWAP_TO once
 * `path` is the file UPDATE_FAULT_SWAP_WHEN. */
static void SwapWhenMade(const char* path) {
  const char* folder = getenv("UPDATE_FAULT_SWAP");
  const char* to = getenv("UPDATE_FAULT_SWAP_TO");
  if (folder == NULL || to == NULL || !EndsAs(path, "UPDATE_FAULT_SWAP_WHEN")) return;
  char away[4096];
  snprintf(away, sizeof away, "%s.away", folder);
  ((int (*)(const char*, const char*))Real("rename"))(folder, away);
  if (getenv("UPDATE_FAULT_SWAP_MOVE") != NULL) {
    ((int (*)(const char*, const char*))Real("rename"))(to, folder);
  } else if (symlink(to, folder) != 0) {
  }
  errno = 0;
}

/* Plants a link to UPDATE_FAULT_PLANT_TO at `path`, or at UPDATE_FAULT_PLANT_AT,
 * when `path` ends with UPDATE_FAULT_PLANT_WHEN, once; keeps errno. */
static void PlantBeforeMade(const char* path) {
  static int planted;
  const char* to = getenv("UPDATE_FAULT_PLANT_TO");
  const char* at = getenv("UPDATE_FAULT_PLANT_AT");
  const int saved = errno;
  if (to != NULL && EndsAs(path, "UPDATE_FAULT_PLANT_WHEN") && !__atomic_exchange_n(&planted, 1, __ATOMIC_SEQ_CST) &&
      symlink(to, at == NULL ? path : at) != 0) {
  }
  errno = saved;
}

/* True, with errno set, when renames of `from` are refused: all of them, or
 * with UPDATE_FAULT_BUSY_TIMES only that many first ones. */
static int Refused(const char* from) {
  static long refusals;
  const char* refused = getenv("UPDATE_FAULT_RENAME_FROM");
  if (refused == NULL || strcmp(from, refused) != 0) return 0;
  const long times = Setting("UPDATE_FAULT_BUSY_TIMES");
  if (times > 0 && __atomic_add_fetch(&refusals, 1, __ATOMIC_SEQ_CST) > times) return 0;
  errno = EBUSY;
  return 1;
}

/* True, with errno set, when the volume or kernel is to lack renames that
 * never replace: UPDATE_FAULT_NOREPLACE_ERRNO gives the errno (NFS: EINVAL,
 * a kernel before 3.15: ENOSYS). */
static int NoReplaceMissing(unsigned flags) {
  const long code = Setting("UPDATE_FAULT_NOREPLACE_ERRNO");
  if (code == 0 || (flags & RENAME_NOREPLACE) == 0) return 0;
  errno = (int)code;
  return 1;
}

#define COUNTED_RENAME(name, params, args, fromDir, toDir, missing)                          \
  int name params {                                                                          \
    char path[4096];                                                                         \
    if (Trip() || Refused(AtPath(fromDir, from, path, sizeof path)) || (missing)) return -1; \
    LockRecord();                                                                            \
    const int renamed = ((int(*) params)Real(#name))args;                                    \
    if (renamed == 0) RecordEntry("rename", fromDir, from, toDir, to);                       \
    UnlockRecord();                                                                          \
    return renamed;                                                                          \
  }

COUNTED_RENAME(rename, (const char* from, const char* to), (from, to), AT_FDCWD, AT_FDCWD, 0)
COUNTED_RENAME(renameat, (int fromDir, const char* from, int toDir, const char* to), (fromDir, from, toDir, to),
               fromDir, toDir, 0)
COUNTED_RENAME(renameat2, (int fromDir, const char* from, int toDir, const char* to, unsigned flags),
               (fromDir, from, toDir, to, flags), fromDir, toDir, NoReplaceMissing(flags))

#define COUNTED_REMOVAL(name, params, args, dir, path)                  \
  int name params {                                                     \
    if (Trip()) return -1;                                              \
    LockRecord();                                                       \
    const int removed = ((int(*) params)Real(#name))args;               \
    if (removed == 0) RecordEntry("remove", dir, path, AT_FDCWD, NULL); \
    UnlockRecord();                                                     \
    return removed;                                                     \
  }

COUNTED_REMOVAL(unlink, (const char* path), (path), AT_FDCWD, path)
COUNTED_REMOVAL(rmdir, (const char* path), (path), AT_FDCWD, path)
COUNTED_REMOVAL(remove, (const char* path), (path), AT_FDCWD, path)
COUNTED_REMOVAL(unlinkat, (int dir, const char* path, int flags), (dir, path, flags), dir, path)
int mkdir(const char* path, mode_t mode) {
  if (Trip() || Targeted(path)) return -1;
  PlantBeforeMade(path);
  LockRecord();
  const int made = ((int (*)(const char*, mode_t))Real("mkdir"))(path, mode);
  if (made == 0) RecordEntry("mkdir", AT_FDCWD, path, AT_FDCWD, NULL);
  UnlockRecord();
  return made;
}
int mkdirat(int dir, const char* name, mode_t mode) {
  char path[4096];
  if (Trip() || Targeted(AtPath(dir, name, path, sizeof path))) return -1;
  PlantBeforeMade(path);
  LockRecord();
  const int made = ((int (*)(int, const char*, mode_t))Real("mkdirat"))(dir, name, mode);
  if (made == 0) RecordEntry("mkdir", dir, name, AT_FDCWD, NULL);
  UnlockRecord();
  return made;
}
#define COUNTED_MKSTEMP(name)                                              \
  int name(char* pattern) {                                                \
    if (Trip()) return -1;                                                 \
    LockRecord();                                                          \
    const int fd = ((int (*)(char*))Real(#name))(pattern);                 \
    if (fd >= 0) RecordEntry("create", AT_FDCWD, pattern, AT_FDCWD, NULL); \
    UnlockRecord();                                                        \
    return fd;                                                             \
  }

COUNTED_MKSTEMP(mkstemp)
COUNTED_MKSTEMP(mkstemp64)

/* Notes an open that made `name` in `dir`, or emptied it. */
static void RecordOpen(int fd, int dir, const char* name, int isNew, int truncates) {
  if (fd >= 0 && (isNew || truncates)) RecordEntry(isNew ? "create" : "trunc", dir, name, AT_FDCWD, NULL);
}

/* Opens for writing are counted, except appends (the log). */
static int CountsAsWrite(int flags) { return (flags & (O_WRONLY | O_RDWR)) != 0 && (flags & O_APPEND) == 0; }

#define COUNTED_OPEN(name)                                                           \
  int name(const char* path, int flags, ...) {                                       \
    va_list args;                                                                    \
    va_start(args, flags);                                                           \
    const mode_t mode = (mode_t)va_arg(args, unsigned);                              \
    va_end(args);                                                                    \
    if (CountsAsWrite(flags) && (Trip() || Targeted(path))) return -1;               \
    if (CountsAsWrite(flags)) PlantBeforeMade(path);                                 \
    LockRecord();                                                                    \
    const int isNew = (flags & O_CREAT) != 0 && NewEntry(AT_FDCWD, path);            \
    const int fd = ((int (*)(const char*, int, ...))Real(#name))(path, flags, mode); \
    RecordOpen(fd, AT_FDCWD, path, isNew, (flags & O_TRUNC) != 0);                   \
    UnlockRecord();                                                                  \
    return fd;                                                                       \
  }

COUNTED_OPEN(open)
COUNTED_OPEN(open64)

#define COUNTED_OPENAT(name)                                                                            \
  int name(int dir, const char* name_, int flags, ...) {                                                \
    va_list args;                                                                                       \
    va_start(args, flags);                                                                              \
    const mode_t mode = (mode_t)va_arg(args, unsigned);                                                 \
    va_end(args);                                                                                       \
    char path[4096];                                                                                    \
    if (CountsAsWrite(flags) && (Trip() || Targeted(AtPath(dir, name_, path, sizeof path)))) return -1; \
    if (CountsAsWrite(flags)) PlantBeforeMade(AtPath(dir, name_, path, sizeof path));                   \
    LockRecord();                                                                                       \
    const int isNew = (flags & O_CREAT) != 0 && NewEntry(dir, name_);                                   \
    const int fd = ((int (*)(int, const char*, int, ...))Real(#name))(dir, name_, flags, mode);         \
    if (fd >= 0 && (flags & O_CREAT) != 0) SwapWhenMade(AtPath(dir, name_, path, sizeof path));         \
    RecordOpen(fd, dir, name_, isNew, (flags & O_TRUNC) != 0);                                          \
    UnlockRecord();                                                                                     \
    return fd;                                                                                          \
  }

COUNTED_OPENAT(openat)
COUNTED_OPENAT(openat64)

/* Copies UPDATE_FAULT_REWRITE_WITH over the bytes of UPDATE_FAULT_REWRITE,
 * same file, once. */
static void RewriteOnce(void) {
  static int done;
  const char* target = getenv("UPDATE_FAULT_REWRITE");
  const char* with = getenv("UPDATE_FAULT_REWRITE_WITH");
  if (target == NULL || with == NULL || __atomic_exchange_n(&done, 1, __ATOMIC_SEQ_CST)) return;
  int (*realOpen)(const char*, int, ...) = (int (*)(const char*, int, ...))Real("open");
  const int from = realOpen(with, O_RDONLY);
  const int to = realOpen(target, O_WRONLY | O_TRUNC);
  char buffer[65536];
  ssize_t got;
  while (from >= 0 && to >= 0 && (got = read(from, buffer, sizeof buffer)) > 0) {
    if (write(to, buffer, (size_t)got) != got) break;
  }
  if (from >= 0) close(from);
  if (to >= 0) close(to);
  errno = 0;
}

#define COUNTED_FOPEN(name)                                                        \
  FILE* name(const char* path, const char* mode) {                                 \
    if (mode[0] == 'w' && (Trip() || Targeted(path))) return NULL;                 \
    if (mode[0] == 'w') PlantBeforeMade(path);                                     \
    if (strcmp(#name, "fopen64") == 0 && strcmp(mode, "rbe") == 0) RewriteOnce();  \
    LockRecord();                                                                  \
    const int isNew = mode[0] == 'w' && NewEntry(AT_FDCWD, path);                  \
    FILE* file = ((FILE * (*)(const char*, const char*)) Real(#name))(path, mode); \
    if (file != NULL && mode[0] == 'w') SwapWhenMade(path);                        \
    if (file != NULL && mode[0] == 'w') RecordOpen(0, AT_FDCWD, path, isNew, 1);   \
    UnlockRecord();                                                                \
    return file;                                                                   \
  }

COUNTED_FOPEN(fopen)
COUNTED_FOPEN(fopen64)

int flock(int fd, int operation) {
  const long code = Setting("UPDATE_FAULT_FLOCK_ERRNO");
  if (code != 0) {
    errno = (int)code;
    return -1;
  }
  return ((int (*)(int, int))Real("flock"))(fd, operation);
}
