// An archive file read through two windows of its bytes, for minizip.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "ioapi.h"

/// minizip's 64-bit file callbacks over `base`, with reads served from two
/// windows of the file: one follows the central directory, the other the
/// entries' data. minizip reads a header field by field, each a seek and a
/// read of a few bytes, and moves between directory and data for every entry;
/// through the system's file calls (under Wine each a trip into its ntdll)
/// that was dozens of calls per entry. Seeks only move a position here.
/// One archive is open through it at a time; it must outlive the handle.
class BufferedArchiveFile {
 public:
  explicit BufferedArchiveFile(const zlib_filefunc64_def& base);
  BufferedArchiveFile(const BufferedArchiveFile&) = delete;
  BufferedArchiveFile& operator=(const BufferedArchiveFile&) = delete;

  zlib_filefunc64_def callbacks();

 private:
  struct Window {
    std::vector<unsigned char> bytes;  // the file's bytes from `start` on
    ZPOS64_T start = 0;
    unsigned long lastUse = 0;  // the window used longest ago is refilled
  };

  static voidpf ZCALLBACK openFile(voidpf opaque, const void* name, int mode);
  static uLong ZCALLBACK readFile(voidpf opaque, voidpf stream, void* buffer, uLong size);
  static uLong ZCALLBACK writeFile(voidpf opaque, voidpf stream, const void* buffer, uLong size);
  static ZPOS64_T ZCALLBACK tellFile(voidpf opaque, voidpf stream);
  static long ZCALLBACK seekFile(voidpf opaque, voidpf stream, ZPOS64_T offset, int origin);
  static int ZCALLBACK closeFile(voidpf opaque, voidpf stream);
  static int ZCALLBACK errorFile(voidpf opaque, voidpf stream);

  uLong read(unsigned char* buffer, uLong size);
  /// Reads up to `size` bytes at `at` from the base file; the count read.
  uLong readBase(ZPOS64_T at, unsigned char* buffer, uLong size);
  Window& refill(ZPOS64_T at);

  zlib_filefunc64_def base_;
  voidpf stream_ = nullptr;
  ZPOS64_T size_ = 0;
  ZPOS64_T position_ = 0;      // where minizip reads next
  ZPOS64_T basePosition_ = 0;  // where the base file reads next
  std::array<Window, 2> windows_;
  unsigned long uses_ = 0;
};
