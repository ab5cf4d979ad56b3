// What an extraction checks before it writes anything: every output name,
// that no two entries name one path, and where each link leads. Writing the
// entries: entry_writing.h; the room they need: extraction_space.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "zip/entry_index.h"
#include "zip/extraction_failure.h"
#include "zip/link_plan.h"

struct ZipReaderState;

/// Output names by stored name, as ZipReader::extractAll takes them.
using EntryRenames = std::map<std::string, std::string>;

/// The name `renames` gives the entry stored as `stored`, else that name.
std::string outputNameOf(const std::string& stored, const EntryRenames& renames);

/// False when the relative output name `relative` would land outside its
/// destination or names a Windows device.
bool isSafeOutputName(const std::string& relative);

/// What one walk over an archive's entries finds before anything is written.
struct SurveyedEntries {
  EntryIndex index;
  /// The first entry refused, in the archive's order, or the first that names
  /// the path of an earlier one; Kind::kNone when every entry may be written.
  ExtractionFailure refusal;
  std::vector<std::size_t> linkEntries;  ///< the numbers of the link entries
  std::uint64_t needed = 0;              ///< bytes on disk (bytesOnDisk), the reserve left out
  bool spreadable = true;                ///< every output name may go to a writer (spreadsSafely)
};

/// Walks the archive's entries once, as EntryIndex does, checking each one's
/// stored and output name, then that no two name one path. `installedFolder`
/// as ZipReader::setInstalledFolder takes it. Throws as the walk does.
SurveyedEntries surveyEntries(ZipReaderState& state, const EntryRenames& renames, const std::string& installedFolder);

/// Reads into `plan` what each link entry leads to, from the entry its data
/// would be extracted from (the first of its name), then checks every link
/// and every entry's output name against the plan: the first refusal, or
/// Kind::kNone when nothing is refused. Throws as reading an entry does.
ExtractionFailure planLinks(ZipReaderState& state, const SurveyedEntries& surveyed, const EntryRenames& renames,
                            LinkPlan& plan);
