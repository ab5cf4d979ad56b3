// What an extraction checks before it writes anything.
#include "zip/extraction_checks.h"

#include <string_view>
#include <utility>

#include "zip/device_names.h"
#include "zip/entry_names.h"
#include "zip/extraction_space.h"
#include "zip/extraction_writers.h"
#include "zip/output_path.h"
#include "zip/zip_reader_state.h"

namespace {

// The longest name a link may hold: the system's path limit, its end excluded.
constexpr std::uint64_t kLongestLinkTarget = 4095;

// Why the output name `relative` is refused: outside the destination, or a
// device in place of a file; kNone when it is safe.
EntryRefusal refusalOfName(const std::string& relative) {
  if (!landsInsideDestination(relative)) return EntryRefusal::kOutsideDestination;
  if (namesReservedDevice(relative)) return EntryRefusal::kDeviceName;
  // Windows reads "name:stream" as a stream of "name" on NTFS (and refuses
  // the name elsewhere); one archive serves every system, so it is refused on each.
  if (relative.find(':') != std::string::npos) return EntryRefusal::kColonInName;
  return EntryRefusal::kNone;
}

// Why `entry`, written under `relative`, is refused: its stored name first,
// since a NUL hides the rest of it from every other reader.
EntryRefusal refusalOfEntry(const ArchiveEntry& entry, const std::string& relative) {
  EntryRefusal refusal = refusalOfStoredName(entry);
  if (refusal == EntryRefusal::kNone) refusal = refusalOfName(relative);
  if (refusal == EntryRefusal::kNone) refusal = refusalOfSegments(relative);
  return refusal;
}

ExtractionFailure refused(std::string_view entry, EntryRefusal refusal, std::string_view earlier = {}) {
  return ExtractionFailure::refused(std::string(entry), refusal, std::string(earlier));
}

}  // namespace

std::string outputNameOf(const std::string& stored, const EntryRenames& renames) {
  const auto renamed = renames.find(stored);
  return renamed == renames.end() ? stored : renamed->second;
}

bool isSafeOutputName(const std::string& relative) { return refusalOfName(relative) == EntryRefusal::kNone; }

SurveyedEntries surveyEntries(ZipReaderState& state, const EntryRenames& renames, const std::string& installedFolder) {
  ExtractionFailure refusal;
  std::vector<std::size_t> linkEntries;
  std::uint64_t needed = 0;
  bool spreadable = true;
  SamePathEntries paths;
  std::size_t visited = 0;
  EntryIndex index(state, [&](const ArchiveEntry& entry) {
    const std::string relative = outputNameOf(entry.entryName, renames);
    if (refusal.kind == ExtractionFailure::Kind::kNone) {
      const EntryRefusal cause = refusalOfEntry(entry, relative);
      if (cause != EntryRefusal::kNone) refusal = refused(entry.entryName, cause);
    }
    paths.add(visited, relative, entry.directory);
    spreadable = spreadable && spreadsSafely(relative);
    needed = addBytes(needed, bytesOnDisk(entry, relative, installedFolder));
    if (entry.link) linkEntries.push_back(visited);
    ++visited;
  });
  if (refusal.kind == ExtractionFailure::Kind::kNone) {
    if (const std::optional<PathClash> clash = paths.findClash()) {
      refusal = refused(index.name(clash->later), EntryRefusal::kSamePath, index.name(clash->earlier));
    }
  }
  return {std::move(index), std::move(refusal), std::move(linkEntries), needed, spreadable};
}

ExtractionFailure planLinks(ZipReaderState& state, const SurveyedEntries& surveyed, const EntryRenames& renames,
                            LinkPlan& plan) {
  const EntryIndex& index = surveyed.index;
  for (const std::size_t i : surveyed.linkEntries) {
    const std::string name(index.name(i));
    unz64_file_pos first = index.firstOfName(i);
    if (unzGoToFilePos64(state.handle.get(), &first) != UNZ_OK) return refused(name, EntryRefusal::kUnreadableLink);
    std::vector<std::uint8_t> target;
    const bool read = state.readCurrentEntry([&](const ArchiveEntry& entry) {
      return entry.unpackedSize > kLongestLinkTarget ? -1 : state.copyCurrentEntryToBuffer(target, entry);
    });
    if (!read) return refused(name, EntryRefusal::kUnreadableLink);
    plan.add(i, outputNameOf(name, renames), std::string(target.begin(), target.end()));
  }
  if (const PlannedLink* outside = plan.linkLeadingOutside()) {
    return refused(index.name(outside->index), EntryRefusal::kLinkLeadingOutside);
  }
  for (std::size_t i = 0; i < index.size(); ++i) {
    const std::string name(index.name(i));
    const EntryRefusal cause = plan.refusalOfEntryAt(outputNameOf(name, renames));
    if (cause != EntryRefusal::kNone) return refused(name, cause);
  }
  return {};
}
