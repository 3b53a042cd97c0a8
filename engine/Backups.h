#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "TextFile.h"

namespace engine {

// The copies kept beside a file that a run changes or a restore replaces:
//   <file>.orig            as the first run that changed it found it; never replaced
//   <file>.bak             as the last run that changed it found it
//   <file>.before-restore  as the last restore found it
// Each is written whole to a temporary file, flushed to disk and renamed
// into place, so that a copy on disk is always complete; and each folder's
// "Quorvane-backups.ini", written after the copies, holds the size, CRC-32
// and run of every copy we wrote there. A copy is put back only while it
// matches what that record says of it.
enum class Copy { Original, LastRun, BeforeRestore };
const char* SuffixOf(Copy copy);

inline constexpr char kBackupRecordName[] = "Quorvane-backups.ini";

// What a record says of one copy.
struct CopyRecord {
  std::string of;    // the file it is a copy of, by name
  std::uint64_t size = 0;
  std::uint32_t crc = 0;
  std::string run;   // the run that made it
  std::string made;  // when, in local time, for people
};

// Tells a run from every other: its start time and process.
struct RunStamp {
  std::string id;    // "20261209-031500-4711-1": time, process, sequence
  std::string when;  // "2026-12-09 03:15:00"
};
RunStamp NewRunStamp();

// A file as a command found it, to be kept before it changes.
struct FoundFile {
  std::string path;
  std::string_view bytes;
};

// Keeps every file as <file>.bak and, when no original of ours is kept yet,
// as <file>.orig; then records them. False, with the failure in *failure,
// when a copy cannot be written whole; the files themselves are never
// touched, and a record never names a copy that is not on disk.
bool KeepBackups(const std::vector<FoundFile>& files, const RunStamp& run, std::string* failure);

// A copy read back and found to be what its record says.
struct CheckedCopy {
  std::string path;
  plat::FileBytes bytes;
  CopyRecord record;
};

// Whether <path><suffix> is a file that its folder's record names: a copy
// of ours, which CheckCopy may still find damaged.
bool IsRecordedCopy(const std::string& path, Copy copy);

// Reads <path><suffix> and checks it against its folder's record. False,
// with the reason for the user in *failure, when it is missing, unreadable,
// unrecorded or not what was recorded.
bool CheckCopy(const std::string& path, Copy copy, CheckedCopy* checked, std::string* failure);

// Keeps a file as it is now as <file>.before-restore and records it.
bool KeepBeforeRestore(const FoundFile& file, const RunStamp& run, std::string* failure);

// The folder part of a path, without its last separator, and the name
// after it.
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);

}  // namespace engine
