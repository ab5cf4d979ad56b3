// Opening, listing and closing an archive; extraction: entry_extraction.cpp.
#include "zip/zip_reader.h"

#include <istream>
#include <limits>
#include <stdexcept>
#include <utility>

#include "platform/archive_file.h"
#include "platform/entry_path.h"
#include "zip/buffered_archive_file.h"
#include "zip/empty_archive.h"
#include "zip/zip_errors.h"
#include "zip/zip_reader_state.h"

namespace {

// minizip's memory callbacks ignore the name; it must only not be null.
constexpr char kMemoryArchiveName[] = "__notused__";

// Bit 11 of an entry's general-purpose flags: its name is stored in UTF-8.
constexpr unsigned long kUtf8NameFlag = 1ul << 11;

// All of `stream`, read once; false when it fails, is empty or ends early.
bool readWholeStream(std::istream& stream, std::vector<std::uint8_t>& bytes) {
  stream.seekg(0, std::ios::end);
  const std::streamoff size = stream.tellg();
  if (size <= 0 || static_cast<std::uint64_t>(size) > std::numeric_limits<std::size_t>::max()) {
    return false;
  }
  stream.seekg(0, std::ios::beg);
  bytes.resize(static_cast<std::size_t>(size));
  stream.read(reinterpret_cast<char*>(bytes.data()), size);
  return stream.gcount() == size;
}

}  // namespace

ZipReader::ZipReader(const std::string& path, const std::string& password)
    : archivePath_(path), password_(password), state_(std::make_unique<ZipReaderState>(password_)) {
  zlib_filefunc64_def fileCalls{};
  platform::FillArchiveFileCallbacks(&fileCalls);
  state_->archiveFile = std::make_unique<BufferedArchiveFile>(fileCalls);
  zlib_filefunc64_def callbacks = state_->archiveFile->callbacks();
  state_->handle.reset(unzOpen2_64(archivePath_.c_str(), &callbacks));
  if (!state_->handle && !isEmptyArchiveFile(archivePath_, fileCalls)) {
    throw std::runtime_error(kLoadZipFileError);
  }
  open_ = true;
}

ZipReader::ZipReader(std::istream& stream, const std::string& password)
    : password_(password), state_(std::make_unique<ZipReaderState>(password_)) {
  std::vector<std::uint8_t> bytes;
  if (!readWholeStream(stream, bytes)) throw std::runtime_error(kLoadZipMemoryError);
  openMemory(std::move(bytes));
}

ZipReader::ZipReader(const std::vector<std::uint8_t>& bytes, const std::string& password)
    : password_(password), state_(std::make_unique<ZipReaderState>(password_)) {
  openMemory(bytes);
}

ZipReader::~ZipReader() { closeArchive(); }

const ExtractionFailure& ZipReader::lastFailure() const { return state_->failure; }

const std::vector<std::string>& ZipReader::madeLinks() const { return state_->madeLinks; }

// An archive without entries stays open without a handle: minizip answers
// every call on a null handle as on an archive with nothing in it.
void ZipReader::openMemory(std::vector<std::uint8_t> bytes) {
  const bool empty = isEmptyArchive(bytes);
  state_->memory = std::make_unique<MemoryArchive>(std::move(bytes));
  zlib_filefunc_def callbacks = state_->memory->callbacks();
  state_->handle.reset(unzOpen2(kMemoryArchiveName, &callbacks));
  if (!state_->handle && !empty) throw std::runtime_error(kLoadZipMemoryError);
  open_ = true;
}

void ZipReader::closeArchive() {
  if (!open_) return;
  state_->handle.reset();
  state_->memory.reset();
  state_->archiveFile.reset();
  open_ = false;
}

std::vector<ArchiveEntry> ZipReader::listEntries() {
  std::vector<ArchiveEntry> entries;
  state_->walkEntries([&](const ArchiveEntry& entry) { entries.push_back(entry); });
  return entries;
}

ArchiveEntry ZipReader::readCurrentEntryInfo() { return state_->readCurrentEntryInfo(); }

void ZipReaderState::walkEntries(const std::function<void(const ArchiveEntry&)>& visit) {
  if (unzGoToFirstFile(handle.get()) != UNZ_OK) return;
  do {
    const ArchiveEntry entry = readCurrentEntryInfo();
    if (!entry.valid()) return;
    visit(entry);
  } while (unzGoToNextFile(handle.get()) == UNZ_OK);
}

// Names are read whole, up to the 65535 bytes the format's length field
// allows, and kept with any NUL inside them, for extraction to refuse: a
// name cut at a NUL or at a buffer's end would be written under another name.
ArchiveEntry ZipReaderState::readCurrentEntryInfo() {
  constexpr std::size_t kLongestStoredName = 0xFFFF;
  if (nameBuffer.empty()) nameBuffer.resize(kLongestStoredName + 1);
  unz_file_info64 info{};
  const int result = unzGetCurrentFileInfo64(handle.get(), &info, nameBuffer.data(), nameBuffer.size(),
                                             /*extraField=*/nullptr, 0, /*szComment=*/nullptr, 0);
  if (result != UNZ_OK || info.size_filename > kLongestStoredName) throw std::runtime_error(kEntryInfoError);
  ArchiveEntry entry;
  entry.utf8Name = (info.flag & kUtf8NameFlag) != 0;
  entry.entryName = platform::EntryNameText(std::string(nameBuffer.data(), info.size_filename), entry.utf8Name);
  entry.packedSize = info.compressed_size;
  entry.unpackedSize = info.uncompressed_size;
  entry.dosDateTime = static_cast<std::uint32_t>(info.dosDate);
  // minizip hands out the raw fields of an impossible stamp (month -1 for a
  // month field of 0); such a stamp is reported as all zeros instead.
  if (isValidDosDateTime(entry.dosDateTime)) {
    const tm_unz& date = info.tmu_date;
    entry.dateParts = {static_cast<std::uint32_t>(date.tm_sec),  static_cast<std::uint32_t>(date.tm_min),
                       static_cast<std::uint32_t>(date.tm_hour), static_cast<std::uint32_t>(date.tm_mday),
                       static_cast<std::uint32_t>(date.tm_mon),  static_cast<std::uint32_t>(date.tm_year)};
  }
  entry.timeText = formatTimeText(entry.dateParts);
  const auto versionMadeBy = static_cast<std::uint32_t>(info.version);
  const auto externalAttributes = static_cast<std::uint32_t>(info.external_fa);
  entry.directory = isDirectoryEntry(entry.entryName, versionMadeBy, externalAttributes);
  entry.hasUnixMode = hasUnixModeEntry(versionMadeBy);
  entry.link = !entry.directory && isLinkEntry(versionMadeBy, externalAttributes);
  return entry;
}
