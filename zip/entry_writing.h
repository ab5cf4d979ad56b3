// Writing an extraction's checked entries: in turn by the reader, or by
// writer threads while it inflates (extraction_writers.h), and links last.
// The checks before: extraction_checks.h.
#pragma once

#include <string>

#include "zip/entry_index.h"
#include "zip/extraction_checks.h"
#include "zip/extraction_folders.h"
#include "zip/link_plan.h"

struct ZipReaderState;

/// The entries of one extraction and where they go.
struct EntriesToWrite {
  ZipReaderState& state;
  const EntryIndex& index;
  ExtractionFolders& folders;
  const EntryRenames& renames;
  const LinkPlan& links;
};

/// True when `destination` is missing or holds nothing but folders: no file
/// that writers could overwrite out of the archive's order before another
/// entry fails, no link to write through. False for an empty path and for a
/// folder that cannot be listed.
bool isEmptyDestination(const std::string& destination);

/// Writes every entry but the links, in the archive's order, into the held
/// folders; an entry that cannot be reached is passed over. With
/// `spreadable` (an empty destination, every output name safe to spread), an
/// archive of many entries goes through writer threads. False at the first
/// entry not written, its cause noted in the state; throws as the reader does.
bool writeEntries(const EntriesToWrite& entries, bool spreadable);

/// Makes the planned links in their held folders; false at the first the
/// system refuses, its path and code noted.
bool makeLinks(const EntriesToWrite& entries);
