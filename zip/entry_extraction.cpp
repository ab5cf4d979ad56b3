// Extracting entries to a destination directory, a byte buffer or a stream:
// the steps in order. The checks: extraction_checks.h; the writing:
// entry_writing.h.
#include <utility>

#include "platform/symbolic_link.h"
#include "zip/entry_writing.h"
#include "zip/extraction_checks.h"
#include "zip/extraction_folders.h"
#include "zip/extraction_space.h"
#include "zip/link_plan.h"
#include "zip/zip_reader.h"
#include "zip/zip_reader_state.h"

namespace {

// Makes the first entry stored as `name` current and reads it as
// readCurrentEntry does; false when there is no such entry.
bool readNamedEntry(ZipReaderState& state, const std::string& name,
                    const std::function<int(const ArchiveEntry&)>& copy) {
  if (state.locateEntry(name) != UNZ_OK) return false;
  return state.readCurrentEntry(copy);
}

// Notes `failure` as the extraction's cause; false when there is none.
bool stopsAt(ZipReaderState& state, ExtractionFailure failure) {
  if (failure.kind == ExtractionFailure::Kind::kNone) return false;
  state.fail(std::move(failure));
  return true;
}

}  // namespace

bool ZipReader::extractAll(const std::string& destination) { return extractAll(destination, {}); }

// Every output name, that no two entries name one path, and the room the
// entries need are checked before anything is written; a failed extraction
// takes away what it wrote. Entries are then reached by their directory
// position, and their data by that of the first entry of their name (only
// folder entries may share one). Looking each one up by name rescans the
// directory from its start, which made extraction quadratic in the number of
// entries. The index keeps only names and positions, so memory grows little
// per entry. Links are checked with the names and made last, so that no
// entry is written through one. Into an empty destination, such as the
// cleared work directory of an update, files are created by writer threads
// while the reader inflates (extraction_writers.h).
bool ZipReader::extractAll(const std::string& destination, const std::map<std::string, std::string>& renames) {
  state_->failure = {};
  state_->madeLinks.clear();
  const SurveyedEntries surveyed = surveyEntries(*state_, renames, installedFolder_);
  if (stopsAt(*state_, surveyed.refusal)) return false;
  if (surveyed.index.size() != 0 && stopsAt(*state_, lackOfRoom(destination, surveyed.needed))) return false;

  const bool empty = isEmptyDestination(destination);
  LinkPlan links(destination, installedFolder_, empty);
  if (platform::kMakesSymbolicLinks && stopsAt(*state_, planLinks(*state_, surveyed, renames, links))) return false;

  // Into an empty destination every file is made anew. The folder that is
  // installed must be the running user's, opened once: what is written
  // below it is only ever reached through it.
  ExtractionFolders folders(destination, /*exclusive=*/empty);
  ExtractionFailure notHeld;
  if (!installedFolder_.empty() && !folders.holdOwnFolder(installedFolder_, notHeld)) {
    stopsAt(*state_, std::move(notHeld));
    return false;
  }
  const EntriesToWrite entries{*state_, surveyed.index, folders, renames, links};
  if (!writeEntries(entries, empty && surveyed.spreadable) || !makeLinks(entries)) {
    state_->madeLinks.clear();
    return false;
  }
  folders.keep();
  return true;
}

bool ZipReader::extractOne(const std::string& name, const std::string& destination) {
  if (!isSafeOutputName(name)) return false;
  if (state_->locateEntry(name) != UNZ_OK) return false;
  const ArchiveEntry entry = state_->readCurrentEntryInfo();
  ExtractionFolders folders(destination, /*exclusive=*/false);
  try {
    const bool written = state_->extractCurrentEntry(entry, folders, name);
    folders.keep();
    return written;
  } catch (...) {
    folders.keep();
    throw;
  }
}

bool ZipReader::readEntryToBuffer(const std::string& name, std::vector<std::uint8_t>& buffer) {
  return readNamedEntry(*state_, name,
                        [&](const ArchiveEntry& entry) { return state_->copyCurrentEntryToBuffer(buffer, entry); });
}

bool ZipReader::readEntryToStream(const std::string& name, std::ostream& stream) {
  return readNamedEntry(*state_, name,
                        [&](const ArchiveEntry& entry) { return state_->copyCurrentEntryToStream(stream, entry); });
}
