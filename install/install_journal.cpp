// The install's journal: one line per record, "<word> <number> <path>\n",
// the path with "%", CR and LF written as "%25", "%0D" and "%0A" so that any
// name fits on its line. Earlier versions also noted each move aside once
// done ("asided") and the start of the placing ("place"); recovery learns
// both from the disk, so they are no longer written and are passed over.
// A "link" record gives as its number the length of its path, which the
// text the link held follows.
// An "in" record (an entry placed below a placed folder) gives as its number
// how many leading bytes its path shares with the one before it, and holds
// only the rest: an update of 20,000 files in 200 folders lists every one of
// them, names in order, so that most share all but their last few bytes.
#include "install/install_journal.h"

#include <cstdlib>

#include "platform/disk_flush.h"
#include "platform/file_open.h"
#include "zip/output_path.h"

namespace {

constexpr const char* kWords[] = {"new", "aside", "commit", "listing", "in", "area", "link", "copies"};

std::string Escaped(const std::string& path) {
  std::string text;
  for (const char c : path) {
    if (c == '%')
      text += "%25";
    else if (c == '\n')
      text += "%0A";
    else if (c == '\r')
      text += "%0D";
    else
      text += c;
  }
  return text;
}

bool Unescaped(const std::string& text, std::string& path) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      path += text[i];
      continue;
    }
    const std::string code = text.substr(i + 1, 2);
    if (code == "25")
      path += '%';
    else if (code == "0A")
      path += '\n';
    else if (code == "0D")
      path += '\r';
    else
      return false;
    i += 2;
  }
  return true;
}

// Words of records that the last shipped version also wrote: recovery learns
// what they said from the disk.
constexpr const char* kPassedOverWords[] = {"asided", "place"};

enum class LineRead { kRecord, kPassedOver, kUnknownKind, kDamaged };

// `lastPlaced` is the path of the last "in" record read.
LineRead Parse(const std::string& line, const std::string& lastPlaced, JournalRecord& record) {
  const std::size_t firstBlank = line.find(' ');
  const std::size_t secondBlank = firstBlank == std::string::npos ? firstBlank : line.find(' ', firstBlank + 1);
  const std::string word = line.substr(0, firstBlank);
  for (const char* passedOver : kPassedOverWords) {
    if (word == passedOver) return LineRead::kPassedOver;
  }
  if (secondBlank == std::string::npos) return LineRead::kDamaged;
  for (int kind = JournalRecord::kNew; kind <= JournalRecord::kCopies; ++kind) {
    if (word != kWords[kind]) continue;
    record.kind = static_cast<JournalRecord::Kind>(kind);
    const std::string digits = line.substr(firstBlank + 1, secondBlank - firstBlank - 1);
    char* end = nullptr;
    record.number = static_cast<int>(std::strtol(digits.c_str(), &end, 10));
    if (digits.empty() || *end != '\0') return LineRead::kDamaged;
    if (kind == JournalRecord::kPlaced) {
      if (record.number < 0 || static_cast<std::size_t>(record.number) > lastPlaced.size()) return LineRead::kDamaged;
      record.path = lastPlaced.substr(0, record.number);
      record.number = 0;
    }
    if (!Unescaped(line.substr(secondBlank + 1), record.path)) return LineRead::kDamaged;
    if (kind == JournalRecord::kLinked && record.number > 0) {
      if (static_cast<std::size_t>(record.number) > record.path.size()) return LineRead::kDamaged;
      record.linkText = record.path.substr(record.number);
      record.path.resize(record.number);
      record.number = 0;
    }
    // Paths the install writes lie inside the installation; any other line
    // was not written by it.
    return record.path.empty() || landsInsideDestination(record.path) ? LineRead::kRecord : LineRead::kDamaged;
  }
  return LineRead::kUnknownKind;
}

}  // namespace

bool operator==(const JournalRecord& left, const JournalRecord& right) {
  return left.kind == right.kind && left.number == right.number && left.path == right.path && left.area == right.area &&
         left.linkText == right.linkText;
}

// Binary mode: the same bytes on both systems. The buffer holds the records
// of many steps, so that announcing each of thousands of steps does not cost
// a write of its own.
InstallJournal::InstallJournal(const std::string& path)
    : InstallJournal(platform::UniqueFile(platform::OpenFile(path, "wb"))) {}

InstallJournal::InstallJournal(platform::UniqueFile file) : file_(std::move(file)) {
  if (file_) std::setvbuf(file_.get(), nullptr, _IOFBF, 1 << 16);
}

bool InstallJournal::Add(const JournalRecord& record) {
  if (!file_) return false;
  std::size_t shared = 0;
  if (record.kind == JournalRecord::kPlaced) {
    while (shared < record.path.size() && shared < lastPlaced_.size() && record.path[shared] == lastPlaced_[shared]) {
      ++shared;
    }
    lastPlaced_ = record.path;
  }
  int number = record.kind == JournalRecord::kPlaced ? static_cast<int>(shared) : record.number;
  std::string text = record.path.substr(shared);
  if (record.kind == JournalRecord::kLinked) {
    number = static_cast<int>(record.path.size());
    text += record.linkText;
  }
  const std::string line = std::string(kWords[record.kind]) + " " + std::to_string(number) + " " + Escaped(text) + "\n";
  return std::fwrite(line.data(), 1, line.size(), file_.get()) == line.size();
}

bool InstallJournal::Flush() { return file_ && platform::FlushFileToDisk(file_.get()); }

JournalRead ReadJournal(const std::string& path) {
  const platform::SystemRead<std::string> file = platform::ReadWholeFile(path);
  if (!file.ok()) return {!platform::IsMissingError(file.error), file.error, {}, {}};
  JournalRead read{true, 0, {}, {}};
  std::string text = file.value;
  // A power cut can leave the file longer than what was written, zeros at
  // its end; a kill, a last line without its end. Neither was announced.
  const std::size_t written = text.find_last_not_of('\0');
  text.resize(written == std::string::npos ? 0 : written + 1);
  std::vector<JournalRecord>& records = read.records;
  std::size_t start = 0;
  std::string lastPlaced;
  int area = 0;
  int lineNumber = 0;
  for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
    ++lineNumber;
    JournalRecord record{JournalRecord::kNew, 0, {}};
    const LineRead line = Parse(text.substr(start, end - start), lastPlaced, record);
    start = end + 1;
    if (line == LineRead::kPassedOver) continue;
    if (line != LineRead::kRecord) {
      read.damage =
          (line == LineRead::kUnknownKind ? "unknown record on line " : "damaged line ") + std::to_string(lineNumber);
      read.records.clear();
      return read;
    }
    if (record.kind == JournalRecord::kPlaced) lastPlaced = record.path;
    if (record.kind == JournalRecord::kArea) area = record.number;
    if (record.kind == JournalRecord::kMoveAside) record.area = area;
    records.push_back(record);
  }
  return read;
}
