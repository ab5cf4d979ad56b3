// The install's journal: what an install is about to do and has done, kept
// in the work directory so that the next run can finish a cut-off one.
#pragma once

#include <string>
#include <vector>

#include "platform/file_stream.h"

/// One step of an install. Paths are relative to the installation directory.
struct JournalRecord {
  enum Kind {
    kNew,        ///< `path` does not exist yet: whatever stands there later was placed by this install
    kMoveAside,  ///< about to move `path` to backup number `number`
    kCommit,     ///< the new version is whole; the backups are only to be discarded
    kListing,    ///< what follows lists every entry the install places (earlier versions did not)
    kPlaced,     ///< `path` lies below a folder that this install places whole
    kArea,       ///< backup area number `number` lies at `path`; the moves aside after it use it
    kLinked,     ///< `path` was a link to a folder when the install was planned: the undo follows it
    kCopies,     ///< `path` is the token of the copies the install stages (platform::CopyToken)
  };
  Kind kind;
  int number = 0;  ///< a kMoveAside's backup number, a kArea's area number; 0 for the others
  std::string path;
  /// A kMoveAside's backup area: that of the last kArea record before it, 0
  /// (the work directory's) when there is none. Set by ReadJournal.
  int area = 0;
  /// A kLinked record's platform::LinkText when the plan met the link;
  /// empty: not recorded.
  std::string linkText = {};
};

bool operator==(const JournalRecord& left, const JournalRecord& right);

/// The journal being written by a running install.
class InstallJournal {
 public:
  /// Creates the journal file `path`, replacing any; ok() is false when it cannot.
  explicit InstallJournal(const std::string& path);
  /// Writes the journal to `file`, made by the run; ok() is false when null.
  explicit InstallJournal(platform::UniqueFile file);

  bool ok() const { return file_ != nullptr; }

  /// Adds `record` to what the next Flush hands to the system. False when
  /// the journal cannot be written.
  bool Add(const JournalRecord& record);

  /// Writes every added record and waits until they are on the disk, so
  /// that a process killed or a power cut at any moment after leaves them
  /// whole (one during it leaves whole records and at most a last line
  /// without its end). Called before each step the added records announce.
  /// False when they could not be written.
  bool Flush();

  /// Closes the file, so that it can be deleted; later appends fail.
  void Close() { file_.reset(); }

 private:
  platform::UniqueFile file_;
  std::string lastPlaced_;  ///< the path of the last kPlaced record written
};

/// What reading a journal file found.
struct JournalRead {
  bool found = false;  ///< a journal is there; false: there is nothing to undo
  int error = 0;       ///< the system's code when one is there but cannot be read
  std::vector<JournalRecord> records;
  /// What made it untrustworthy ("damaged line 3", "unknown record on line
  /// 3"); empty: nothing. No records then: none of it may be acted on.
  std::string damage;
  bool readable() const { return error == 0; }
  /// None, or one whose every record may be acted on.
  bool trusted() const { return !found || (error == 0 && damage.empty()); }
};

/// The whole records of the journal file `path`, in order: a last record cut
/// off by a kill, zeros a power cut left at the end, and the "asided" and
/// "place" lines that earlier versions also wrote are left out. A line that
/// is no record this version knows, or names a path that could lead outside
/// the installation, makes the whole journal damaged. No records, and not
/// found, when there is no journal; none, with the system's code, when it
/// cannot be read.
JournalRead ReadJournal(const std::string& path);
