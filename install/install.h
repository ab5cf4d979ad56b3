// The install engine's door: the names it owns in an installation, the
// all-or-nothing install of an extracted tree and the recovery of a cut-off
// one, the checks that can be made before the application is stopped, and
// the placing of a tree that the install and the driver's tree copy share.
// It reports what happened in its outcomes and logs nothing: the driver
// writes the log lines from them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "zip/archive_entry.h"

/// Names in the installation and its work directory that the install owns.
/// No archive entry may land on the work directory, the journal, the backup
/// area, the probe or the lock file.
constexpr const char kWorkDirName[] = "temp";
constexpr const char kUpdateDirName[] = "update";
constexpr const char kJournalName[] = ".update-journal";
constexpr const char kBackupDirName[] = ".update-backup";
constexpr const char kProbeName[] = ".update-probe";
/// In the installation folder itself, never in the work directory, which
/// the clear may replace; on Windows it holds the installation's lock.
constexpr const char kLockName[] = ".update-lock";
// The copies staged beside their targets across volumes are named by the
// platform's copy and move, which write them: platform::kCopyPrefix.
/// In the installation folder: when the updater checks signatures, the
/// signing time of the last signed release installed. The driver puts it
/// into the extracted tree, so it is installed, or undone, with the release.
constexpr const char kReleaseRecordName[] = ".update-signed-release";

/// A top-level file that could not be copied over its namesake.
struct FailedCopy {
  std::string source;
  std::string target;
  int error = 0;  ///< the system's code
};

/// An entry of the new tree that could not be moved into the installation.
struct FailedMove {
  std::string source;
  std::string target;
  int error = 0;  ///< the system's code
};

/// An installed entry that could not be moved aside to its backup.
struct FailedAside {
  std::string target;
  std::string backup;
  int error = 0;  ///< the system's code
};

/// What placing a tree did.
struct Placement {
  bool whole = false;  ///< every folder moved in and every file copied
  std::vector<FailedCopy> failedCopies;
  std::vector<FailedMove> failedMoves;    ///< folders and files of folders, in the order met
  std::vector<std::string> refusedLinks;  ///< links of the new tree the extraction did not make: not placed
};

/// Places the tree `sourceDir` into the existing directory `targetDir`: each
/// top-level folder moved in (merged where it exists) through PlaceFolder,
/// then each top-level file copied over its namesake, except the updater's
/// own (IsUpdaterOwnFile), then each top-level link copied as a link. Not
/// whole, with no failed copy, when `sourceDir` cannot be listed.
Placement PlaceTree(const std::string& sourceDir, const std::string& targetDir);

/// Moves the folder `fromDir` into `intoDir`, where it keeps its name, with
/// the system's own move (the shell's on Windows, `ownerWindow` its owner
/// window or null), and merges entry by entry what the system left: files
/// replace their namesakes, folders merge. False when a path is empty,
/// `fromDir` is no folder, the system refuses, or part of the tree could not
/// be moved; what was moved stays moved.
bool PlaceFolder(const std::string& fromDir, const std::string& intoDir, void* ownerWindow);

/// True when the top-level file named `fileName` (a name, not a path) is the
/// updater's own: "update.exe" or the running updater's file name, compared
/// as the system compares names. It is never placed, so never moved aside.
bool IsUpdaterOwnFile(const std::string& fileName);

/// The file entries of `entries` that carry the updater's own file directly
/// in "update/" (IsUpdaterOwnFile), which the install never places, each as
/// "update/NAME"; empty when there is none.
std::vector<std::string> UpdaterOwnFileEntries(const std::vector<ArchiveEntry>& entries);

/// The steps of the install that fail on a path of their own, not on an
/// entry; the words the log gives each: UpGrade/failure_reasons.cpp.
enum class InstallStep {
  kNone,
  kPlan,          ///< walking the new tree or an installed folder to plan
  kBackupFolder,  ///< making a folder of the backup areas
  kJournal,       ///< writing or flushing the journal
  kFlush,         ///< waiting until a volume's changes are on the disk
  // The steps of an undo, which goes on past them and lists each.
  kRemovePlaced,  ///< removing what the install placed
  kFindBackup,    ///< looking for a backup
  kPutBack,       ///< moving a backup back
};

/// A step of the install that failed on its own path, not on an entry.
struct FailedStep {
  InstallStep step = InstallStep::kNone;  ///< kNone: none failed
  std::string path;
  int error = 0;  ///< the system's code
};

/// A journal that is not acted on, and why: recovery and the undo leave it
/// and every backup where they are for a run that can trust it.
struct UntrustedJournal {
  std::string path;
  std::string reason;  ///< "cannot be read", "damaged line 3", ...; empty: trusted
  int error = 0;       ///< the system's code; 0 when the file read but did not parse
};

/// A folder an install's journal leads through that is no longer what the
/// install met: recovery writes nothing through it.
struct ChangedFolder {
  std::string path;          ///< empty: none
  std::string recordedLink;  ///< the text the link held then; empty: it was a folder
};

struct InstallOutcome {
  bool installed = false;   ///< the new version is in place, whole
  bool rolledBack = false;  ///< otherwise: the old version is back, whole
  int restoredCount = 0;    ///< old files and folders moved back
  /// Why the install stopped: a step that failed, what could not move aside
  /// (nothing was placed then), or the files the placing could not copy.
  FailedStep failedStep;
  std::vector<FailedAside> failedAsides;
  std::vector<FailedMove> failedMoves;
  std::vector<FailedCopy> failedCopies;
  /// Links found in the new tree that the extraction did not make: none placed.
  std::vector<std::string> refusedLinks;
  /// An installed folder found swapped for a link or another folder since
  /// the plan, nothing written through it; empty: none.
  std::string swappedSincePlan;
  /// Found in the folders the install placed while it was undone, and not
  /// placed by it (a file saved there since): left where they are.
  std::vector<std::string> kept;
  /// The undo's steps that failed ("remove", "put back", ...), in order.
  std::vector<FailedStep> undoFailures;
  /// The journal the undo would not act on; nothing was undone then.
  UntrustedJournal untrusted;
  /// A link found where the install makes its journal, never followed;
  /// nothing was touched then. Empty: none.
  std::string linkAtOwnName;
};

/// Installs the tree `updateDir` into `dstPath` as PlaceTree does, all or
/// nothing: every target it replaces is first moved aside into `workDir`'s
/// backup area; on failure what was placed goes and the backups come back.
/// When the old version cannot be brought back whole the journal and the
/// backups stay in `workDir` for the next run. With `madeLinks` (the output
/// names of the links the extraction made, "update/..."), no other link of
/// the new tree is placed: the install fails and says which.
InstallOutcome InstallTree(const std::string& updateDir, const std::string& dstPath, const std::string& workDir,
                           const std::vector<std::string>* madeLinks = nullptr);

enum class Recovery {
  kNothingLeft,  ///< no earlier install was cut off
  kFinished,     ///< an earlier install had committed; its backups are gone now
  kRolledBack,   ///< an earlier install was undone: the old version is whole
  kFailed,       ///< an earlier install could not be undone; journal and backups kept
};

struct RecoveryOutcome {
  Recovery state = Recovery::kNothingLeft;
  int restoredCount = 0;
  /// Found in the folders the cut-off install placed, and not placed by it
  /// (a file saved there since): left where they are, with their folders.
  std::vector<std::string> kept;
  /// The steps of the undo that failed, in order.
  std::vector<FailedStep> undoFailures;
  /// The journal that was not acted on (kFailed), and why.
  UntrustedJournal untrusted;
  /// The folder that kept the journal from being acted on (kFailed).
  ChangedFolder changedFolder;
};

/// Finishes what an install cut off in `dstPath` left in `workDir`, and
/// removes a probe file a killed run left (see AcceptsNewFile).
RecoveryOutcome RecoverInstall(const std::string& dstPath, const std::string& workDir);

/// True when some entry lies below the archive's top-level folder "update",
/// so that installing it gives the installation something new.
bool HoldsUpdateEntries(const std::vector<ArchiveEntry>& entries);

/// The first entry that would land on the install's journal or backup area
/// in the work directory, or be moved onto the work directory, the probe or
/// the lock file by the install (an archive must never be able to write
/// recovery instructions, nor replace the folder the install works in), an
/// 8.3 short name of one of these in `dstPath` included; null when there is
/// none. An entry whose names cannot be looked up in `dstPath` is taken.
const ArchiveEntry* EntryTakingReservedName(const std::vector<ArchiveEntry>& entries, const std::string& dstPath);

/// An installed folder that the archive turns into a file or a link while it
/// holds entries of its own, which the install would delete with the backups.
struct FolderBecomingFile {
  std::string folder;  ///< empty: there is none
  std::string holds;   ///< the first entry it holds; empty when it cannot be listed
};

/// The first folder of `dstPath` that a file or link entry below "update/"
/// of `entries` would replace while the folder holds anything (an archive
/// that brings a file in its place brings nothing below it); an empty one
/// when there is none. An entry's 8.3 short name of a folder is that folder.
/// A folder that cannot be listed, or a name that cannot be looked up,
/// counts as holding.
FolderBecomingFile FolderHoldingFilesTurnedIntoFile(const std::vector<ArchiveEntry>& entries,
                                                    const std::string& dstPath);

/// Whether the installation accepts a new file.
struct NewFileProbe {
  bool accepted = false;
  bool linked = false;  ///< not: a link stands at the probe's name, never followed
  int error = 0;        ///< not: the system's code
};

/// Creates and removes a probe file in `dstPath`, this run's own (made
/// exclusively, never through a link). Not accepted when no file can be
/// created there (no right to write the installation, something standing at
/// the probe's name).
NewFileProbe AcceptsNewFile(const std::string& dstPath);

/// An entry whose folders go deeper than the run may hold open.
struct TooDeepEntry {
  std::string entry;  ///< the deepest entry's name in the archive; empty: every entry fits
  int levels = 0;     ///< its folders below the installation
};

/// The deepest entry below "update/" of `entries` when going down its
/// folders would hold more files open than `openFilesAllowed`: the install
/// holds two folders open for each level it merges into; an empty one when
/// every entry fits.
TooDeepEntry EntryTooDeepFor(const std::vector<ArchiveEntry>& entries, int openFilesAllowed);

/// A folder that takes no new file, and what its probe found.
struct RefusingFolder {
  std::string folder;  ///< empty: none
  NewFileProbe probe;
};

/// The first folder of `dstPath` reached through a link (perhaps on another
/// volume) that an entry below "update/" of `entries` lands in, where
/// AcceptsNewFile fails; an empty folder when there is none.
RefusingFolder LinkedFolderRefusingNewFile(const std::vector<ArchiveEntry>& entries, const std::string& dstPath);

/// For each file entry below "update/" of `entries` that recorded no Unix
/// mode (made on Windows, say), gives its extracted file in `workDir` the
/// permission bits of the installed file in `dstPath` that it will replace,
/// where there is one. Nothing changes where files have no permission bits.
void KeepInstalledModes(const std::vector<ArchiveEntry>& entries, const std::string& workDir,
                        const std::string& dstPath);
