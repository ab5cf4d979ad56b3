/* The fault library's record of the calls a power cut may undo
 * (crash_recorder.c), as its call hooks note them. */
#pragma once

/* Notes the call `call` ("create", "mkdir", "rename", "unlink", "rmdir",
 * "trunc") on `name` in the folder `dir` and, for a rename, `to` in `toDir`;
 * nothing unless UPDATE_CRASH_RECORD is set. */
void RecordEntry(const char* call, int dir, const char* name, int toDir, const char* to);

/* Held by a hook across its call and the note of it, so that the notes of
 * calls made on several threads keep the order the calls took, and a folder
 * open as `dir` is named as it was at the call, not after another thread
 * moved it. */
void LockRecord(void);
void UnlockRecord(void);

/* True when `name` in `dir` is not there yet: an open that makes it is a "create". */
int NewEntry(int dir, const char* name);
