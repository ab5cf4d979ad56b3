// Threads that create an extraction's files while its reader inflates the
// entries that follow.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "zip/entry_file.h"
#include "zip/extraction_failure.h"
#include "zip/extraction_folders.h"

/// An entry read whole, for a writer to create at its output name: a
/// directory, or a file with all its bytes and its stamp.
struct PendingEntry {
  std::string relative;
  bool directory = false;
  EntryFileStamp stamp;
  std::vector<char> bytes;
};

/// True when an extraction may hand the output name `relative` to a writer
/// chosen by writerOf: printable ASCII without "~" (which may be the short
/// name of another file) or ":" (which may name a stream of another file).
/// Beyond ASCII, which names a file system takes for the same file is its
/// own table's to say.
bool spreadsSafely(const std::string& relative);

/// Which of `count` writers creates the output name `relative`: the same for
/// every name that a file system ignoring case and trailing dots and spaces,
/// as Windows does, takes for the same file, so that one writer writes it,
/// in the archive's order.
std::size_t writerOf(const std::string& relative, std::size_t count);

/// Writers on threads of their own, each creating the entries handed to it in
/// the order given. For archives of many small files the time goes to the
/// system creating files, which runs on every core; under Wine each creation
/// also waits on round trips to its server, which several writers overlap.
class ExtractionWriters {
 public:
  /// Starts up to `count` writers, which create the entries in `folders`;
  /// fewer when the system gives fewer threads.
  ExtractionWriters(std::size_t count, ExtractionFolders& folders);
  /// Stops the writers, leaving what is still queued, and waits for them.
  ~ExtractionWriters();
  ExtractionWriters(const ExtractionWriters&) = delete;
  ExtractionWriters& operator=(const ExtractionWriters&) = delete;

  std::size_t count() const { return writers_.size(); }

  /// Queues `entry` for writer `writer`, waiting while the bytes queued are
  /// past a small budget; false once a writer has failed.
  bool submit(std::size_t writer, PendingEntry entry);

  /// Waits until every queued entry is written, or until a writer fails:
  /// true when all were written. Throws again what a writer threw.
  bool drain();

  /// Why the first failed write failed (its path and the system's code, or
  /// the link met), once drain() has returned false.
  const ExtractionFailure& failure() const { return failure_; }

 private:
  struct Writer;

  void run(Writer& writer);
  bool write(const PendingEntry& entry, ExtractionFailure& failure);
  bool idle() const;
  enum class ReaderWait { kNothing, kRoom, kIdle };
  /// Waits, as the reader, for `what`, or for a failure; meanwhile every
  /// writer writes what it holds, however little.
  void waitAsReader(std::unique_lock<std::mutex>& lock, ReaderWait what);
  /// Whether what the reader waits for has come.
  bool readerMayGoOn() const;

  ExtractionFolders& folders_;
  std::mutex mutex_;              // over everything below
  std::condition_variable room_;  // the reader waits for room, idleness or failure
  ReaderWait readerWait_ = ReaderWait::kNothing;
  std::size_t queuedBytes_ = 0;
  bool failed_ = false;
  bool stopping_ = false;
  bool urgent_ = false;  // the reader waits: writers take what they hold
  std::exception_ptr error_;
  ExtractionFailure failure_;
  std::vector<std::unique_ptr<Writer>> writers_;
};
