// Threads that create an extraction's files.
#include "zip/extraction_writers.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <iterator>
#include <system_error>
#include <thread>
#include <utility>

#include "zip/zip_paths.h"

namespace {

// Queued bytes the reader may run ahead by: enough to keep every writer
// busy with small files, little beside the memory an extraction needs.
constexpr std::size_t kQueuedBytesBudget = 1u << 20;
// A reader that waits for room goes on once half the budget is free: woken
// for each written entry, it would sleep and wake again for each one.
constexpr std::size_t kResumeBytes = kQueuedBytesBudget / 2;
// What an entry costs beyond its bytes, so that directories and empty files
// are bounded too.
constexpr std::size_t kEntryCost = 256;
// A writer is woken for this many entries, not for each one: every sleep and
// wake-up is a pair of system calls, as dear as creating a small file.
constexpr std::size_t kBatch = 16;

std::size_t costOf(const PendingEntry& entry) { return entry.bytes.size() + entry.relative.size() + kEntryCost; }

// The name as a file system that ignores case and trailing dots and spaces
// of each name sees it.
std::string foldedName(const std::string& relative) {
  std::string folded;
  folded.reserve(relative.size());
  for (const std::string& segment : pathSegments(tidyPath(relative))) {
    std::size_t end = segment.size();
    while (end > 0 && (segment[end - 1] == '.' || segment[end - 1] == ' ')) --end;
    folded += '/';
    std::transform(segment.begin(), segment.begin() + static_cast<std::ptrdiff_t>(end), std::back_inserter(folded),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  }
  return folded;
}

}  // namespace

bool spreadsSafely(const std::string& relative) {
  return std::all_of(relative.begin(), relative.end(), [](char c) { return c >= ' ' && c < '~' && c != ':'; });
}

std::size_t writerOf(const std::string& relative, std::size_t count) {
  return std::hash<std::string>{}(foldedName(relative)) % count;
}

struct ExtractionWriters::Writer {
  std::deque<PendingEntry> queue;
  bool busy = false;
  std::condition_variable wake;
  std::thread thread;
};

ExtractionWriters::ExtractionWriters(std::size_t count, ExtractionFolders& folders) : folders_(folders) {
  for (std::size_t i = 0; i < count; ++i) {
    auto writer = std::make_unique<Writer>();
    try {
      writer->thread = std::thread([this, at = writer.get()] { run(*at); });
    } catch (const std::system_error&) {
      break;  // the writers started so far do the work
    }
    writers_.push_back(std::move(writer));
  }
}

ExtractionWriters::~ExtractionWriters() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  for (const auto& writer : writers_) writer->wake.notify_one();
  for (const auto& writer : writers_) writer->thread.join();
}

bool ExtractionWriters::submit(std::size_t writer, PendingEntry entry) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (queuedBytes_ >= kQueuedBytesBudget) waitAsReader(lock, ReaderWait::kRoom);
  if (failed_) return false;
  urgent_ = false;
  queuedBytes_ += costOf(entry);
  Writer& chosen = *writers_.at(writer);
  chosen.queue.push_back(std::move(entry));
  if (chosen.queue.size() >= kBatch) chosen.wake.notify_one();
  return true;
}

bool ExtractionWriters::drain() {
  std::unique_lock<std::mutex> lock(mutex_);
  waitAsReader(lock, ReaderWait::kIdle);
  if (error_) std::rethrow_exception(error_);
  return !failed_;
}

void ExtractionWriters::waitAsReader(std::unique_lock<std::mutex>& lock, ReaderWait what) {
  readerWait_ = what;
  urgent_ = true;
  for (const auto& writer : writers_) writer->wake.notify_one();
  // A writer that finds the reader may go on wakes it once and says so.
  room_.wait(lock, [this] { return readerWait_ == ReaderWait::kNothing || readerMayGoOn(); });
  readerWait_ = ReaderWait::kNothing;
}

bool ExtractionWriters::readerMayGoOn() const {
  switch (readerWait_) {
    case ReaderWait::kNothing:
      return false;
    case ReaderWait::kRoom:
      return failed_ || queuedBytes_ <= kResumeBytes;
    case ReaderWait::kIdle:
      return failed_ || idle();
  }
  return true;
}

bool ExtractionWriters::idle() const {
  return std::all_of(writers_.begin(), writers_.end(),
                     [](const auto& writer) { return !writer->busy && writer->queue.empty(); });
}

void ExtractionWriters::run(Writer& writer) {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    writer.wake.wait(lock, [&] {
      return stopping_ || failed_ || writer.queue.size() >= kBatch || (urgent_ && !writer.queue.empty());
    });
    if (stopping_ || failed_) return;
    const PendingEntry entry = std::move(writer.queue.front());
    writer.queue.pop_front();
    writer.busy = true;
    lock.unlock();
    bool written = false;
    ExtractionFailure failure;
    std::exception_ptr error;
    try {
      written = write(entry, failure);
    } catch (...) {
      error = std::current_exception();
    }
    lock.lock();
    writer.busy = false;
    queuedBytes_ -= costOf(entry);
    if (!written) {
      if (!failed_) failure_ = std::move(failure);
      failed_ = true;
      if (!error_) error_ = error;
      for (const auto& other : writers_) other->wake.notify_one();
    }
    if (readerMayGoOn()) {
      readerWait_ = ReaderWait::kNothing;
      room_.notify_one();
    }
  }
}

// As an extraction without writers writes an entry read whole.
bool ExtractionWriters::write(const PendingEntry& entry, ExtractionFailure& failure) {
  if (entry.directory) return folders_.makeFolder(entry.relative, failure);
  EntryFile file(folders_, entry.relative);
  bool written = file.ok() && (entry.bytes.empty() || file.write(entry.bytes.data(), entry.bytes.size()));
  if (!written) failure = file.failed();
  if (!file.ok()) return false;
  if (!file.finish(entry.stamp) && written) {
    failure = file.failed();
    written = false;
  }
  return written;
}
