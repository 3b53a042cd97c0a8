#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/TextFile.h"

namespace engine {

// The copies kept beside a file that a run changes or a restore replaces:
//   <file>.orig            as the first run that changed it found it; never replaced
//   <file>.bak             as the last install or remove that changed it
//                          found it; a run writes its own beside it, in a
//                          temporary file, and puts it in its place only
//                          once the run has replaced the files, so that a
//                          run that fails or is stopped leaves the last
//                          run's copy as it was (an original the same way)
//   <file>.before-restore  as a restore found it; each restore keeps a new
//                          one (.before-restore-2, -3, ...), at most
//                          kMostBeforeRestore of them
// A name that a file of someone else's holds already (a copy the user made
// by hand, another program's) is never written or removed: the copy takes
// the next free name of its kind, "<file>.orig-2", "<file>.bak-2", ...
// Each folder's "Quorvane-backups.ini" holds the size, CRC-32 and run of
// every copy we wrote there; a file at one of these names is ours only
// while it holds what the record says. The record is written before the
// copies, so that it never misses one of ours; each copy is written whole
// to a temporary file, flushed to disk and renamed into place. A copy is
// put back only while it matches its record.
enum class Copy { Original, LastRun, BeforeRestore };
const char* SuffixOf(Copy copy);

// The name of copy number `number` of a kind: <path><suffix> for 1,
// <path><suffix>-<number> after it.
std::string CopyPath(const std::string& path, Copy copy, int number);

// The copies of .before-restore kept of one file: a restore that would
// make one more drops the oldest of ours, but only when every line it
// holds is in the file or another of its copies; else it is refused.
inline constexpr int kMostBeforeRestore = 10;

inline constexpr char kBackupRecordName[] = "Quorvane-backups.ini";

// What a record says of one copy.
struct CopyRecord {
  std::string of;    // the file it is a copy of, by name
  std::uint64_t size = 0;
  std::uint32_t crc = 0;
  std::string run;   // the run that made it
  std::string made;  // when, in local time, for people
  // Size and CRC-32 of both files as that run found them: copies of two
  // runs that found the same files belong together too.
  std::string pair;
  // What the copy held before a run's pending copy took its place, while
  // that may not have happened yet: a copy holding that is ours too.
  bool hasPrevious = false;
  std::uint64_t previousSize = 0;
  std::uint32_t previousCrc = 0;
};

// Tells a run from every other: its start time and process.
struct RunStamp {
  std::string id;    // "20261209-031500-4711-80624911731104": time, process, clock tick
  std::string when;  // "2026-12-09 03:15:00"
};
RunStamp NewRunStamp();

// A file as a command found it, to be kept before it changes.
struct FoundFile {
  std::string path;
  std::string_view bytes;
};

// A copy a run keeps, written whole into a temporary file of ours beside
// the name it is to take, until the run has replaced the files.
struct PendingCopy {
  Copy kind = Copy::LastRun;
  std::string live;    // the file it is a copy of
  std::string temp;    // where it waits
  CopyRecord record;   // what the record is to say of it
};

// Keeps every file as the run's last-run copy and, when no original of
// ours is kept yet, as its original, both pending (into *pending; without
// it, settled at once). False, with the failure in *failure, when a copy
// cannot be written whole; the files, their copies and the record are
// never touched.
bool KeepBackups(const std::vector<FoundFile>& files, const RunStamp& run, std::string* failure,
                 std::vector<PendingCopy>* pending = nullptr);

// The temporary file that holds the pending last-run copy of `path`.
std::string LastRunCopyOf(const std::vector<PendingCopy>& pending, const std::string& path);

// The run has replaced the files: its pending copies take their names
// (the last-run copy that of the last run's, an original the first free
// one), the record first. A failure when a step could not be done; doing
// it again goes on from there.
plat::Result SettleBackups(const std::vector<PendingCopy>& pending);
// The run changed nothing after all: its pending copies go, and the last
// run's copies and the original stay as they were.
void DropBackups(const std::vector<PendingCopy>& pending);

// A copy read back and found to be what its record says.
struct CheckedCopy {
  std::string path;
  plat::FileBytes bytes;
  CopyRecord record;
};

// Whether the record of the file's folder names a copy of that kind of it
// that is there: a copy of ours, which CheckCopy may still find damaged.
bool IsRecordedCopy(const std::string& path, Copy copy);

// The path of the file's copy of that kind: the one its folder's record
// names, else the first name of the kind (which may hold nothing).
std::string CopyPathOf(const std::string& path, Copy copy);

// Reads the file's copy of that kind and checks it against its folder's
// record. False, with the reason for the user in *failure, when it is
// missing, unreadable, unrecorded or not what was recorded.
bool CheckCopy(const std::string& path, Copy copy, CheckedCopy* checked, std::string* failure);

// Where a restore keeps the files it replaces, decided before anything is
// written: a new .before-restore copy of each (or the newest of ours when
// it holds the file already), and the oldest of ours it drops to stay
// within kMostBeforeRestore.
struct BeforeRestoreCopy {
  std::string path;
  bool write = true;
  std::string drop;  // empty: none
};
// False, with the refusal for the user in *refusal, when a file has as
// many copies as are kept and the oldest holds a line that is in no other.
bool PlanBeforeRestore(const std::vector<FoundFile>& files, std::vector<BeforeRestoreCopy>* plan,
                       std::string* refusal);
// Writes the planned copies (record first), then drops what the plan
// drops. False, with the failure in *failure, when a copy cannot be
// written whole; nothing is dropped then.
bool KeepBeforeRestore(const std::vector<FoundFile>& files, const std::vector<BeforeRestoreCopy>& plan,
                       const RunStamp& run, std::string* failure);

// The folder part of a path, without its last separator, and the name
// after it.
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);

}  // namespace engine
