// What an extraction checks before it writes anything.
#include "zip/extraction_checks.h"

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
// device in place of a file. Empty when it is safe.
std::string refusalOfName(const std::string& relative) {
  if (!landsInsideDestination(relative)) return "outside the destination";
  if (namesReservedDevice(relative)) return "a device name";
  return {};
}

// Why `entry`, written under `relative`, is refused: its stored name first,
// since a NUL hides the rest of it from every other reader.
std::string refusalOfEntry(const ArchiveEntry& entry, const std::string& relative) {
  std::string refusal = refusalOfStoredName(entry);
  if (refusal.empty()) refusal = refusalOfName(relative);
  if (refusal.empty()) refusal = refusalOfSegments(relative);
  return refusal;
}

ExtractionFailure refused(std::string entry, std::string reason) {
  return {ExtractionFailure::Kind::kRefusedEntry, std::move(entry), std::move(reason)};
}

}  // namespace

std::string outputNameOf(const std::string& stored, const EntryRenames& renames) {
  const auto renamed = renames.find(stored);
  return renamed == renames.end() ? stored : renamed->second;
}

bool isSafeOutputName(const std::string& relative) { return refusalOfName(relative).empty(); }

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
      std::string reason = refusalOfEntry(entry, relative);
      if (!reason.empty()) refusal = refused(entry.entryName, std::move(reason));
    }
    paths.add(visited, relative, entry.directory);
    spreadable = spreadable && spreadsSafely(relative);
    needed = addBytes(needed, bytesOnDisk(entry, relative, installedFolder));
    if (entry.link) linkEntries.push_back(visited);
    ++visited;
  });
  if (refusal.kind == ExtractionFailure::Kind::kNone) {
    if (const std::optional<PathClash> clash = paths.findClash()) {
      refusal =
          refused(std::string(index.name(clash->later)), "the same path as " + std::string(index.name(clash->earlier)));
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
    if (unzGoToFilePos64(state.handle.get(), &first) != UNZ_OK) return refused(name, "a link that cannot be read");
    std::vector<std::uint8_t> target;
    const bool read = state.readCurrentEntry([&](const ArchiveEntry& entry) {
      return entry.unpackedSize > kLongestLinkTarget ? -1 : state.copyCurrentEntryToBuffer(target, entry);
    });
    if (!read) return refused(name, "a link that cannot be read");
    plan.add(i, outputNameOf(name, renames), std::string(target.begin(), target.end()));
  }
  if (const PlannedLink* outside = plan.linkLeadingOutside()) {
    return refused(std::string(index.name(outside->index)), "a link leading outside");
  }
  for (std::size_t i = 0; i < index.size(); ++i) {
    const std::string name(index.name(i));
    std::string reason = plan.refusalOfEntryAt(outputNameOf(name, renames));
    if (!reason.empty()) return refused(name, std::move(reason));
  }
  return {};
}
