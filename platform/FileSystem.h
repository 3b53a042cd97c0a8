#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "Result.h"

// The file system as the engine sees it: the Win32 calls on Windows, and on
// Linux our own equivalents that behave as those do. Paths may use '\' and
// '/' as separators on both; on Linux a path component that does not exist
// with its exact name finds an entry whose name differs only in ASCII case,
// as a lookup on Windows would. New files and folders get the name as given.
// An operation that may fail gives a Result that holds the system's reason.

namespace plat {

enum class PathKind { Missing, File, Folder };

// GetFileAttributesA: what, if anything, the path names.
PathKind GetPathKind(const char* path);

// What a path names, found in one look: the name to open it by (see
// NativePath), its kind, whether it is read-only, and a file's size.
struct PathInfo {
  std::string nativePath;
  PathKind kind = PathKind::Missing;
  // On Windows the read-only attribute; on Linux a path whose permission
  // bits deny writing to everybody counts as read-only even for root, as
  // the attribute would.
  bool readOnly = false;
  std::uint64_t size = 0;
};
PathInfo InspectPath(const char* path);

// Whether a file may be written or created at the path: it is not
// read-only and, on Linux, its folder's permission bits allow changes.
bool MayWrite(const PathInfo& path);

// CreateDirectoryA with default security: creates one folder whose parent
// exists; fails when anything of that name exists.
Result CreateFolder(const char* path);

// CopyFileA(source, target, FALSE) made safe: the copy goes to a new
// temporary file beside the target, which then takes the target's place,
// so the target is the old file or the whole copy and never a part; a link
// at the target's name is replaced, never written through. The copy is
// never read-only, also when the source is.
Result CopyFileOver(const char* source, const char* target);

// The first step of CopyFileOver alone: the copy made whole in a new
// temporary file beside the target, with the target's attributes, whose
// name *temp receives; MoveFileOver(*temp, target) is the second step.
Result CopyBeside(const char* source, const char* target, std::string* temp);

// Makes the folder's entries (new names, renames, removals) durable, as a
// file's flush to disk makes its content durable. Windows writes them
// through with MOVEFILE_WRITE_THROUGH; there it does nothing.
Result SyncFolder(const char* folder);

// MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING) on Windows,
// rename() on Linux: one step, the target is either old or new. Windows 98
// and ME do not implement MoveFileExA; there the target is deleted first.
Result MoveFileOver(const char* source, const char* target);

Result RemoveFile(const char* path);

// What replacing a file keeps of it: on Linux its permission bits and its
// owner (where the user may give it), on Windows its attributes.
struct KeptAttributes {
  bool known = false;
  unsigned long bits = 0;
  unsigned long owner = 0;
  unsigned long group = 0;
};

// How a file that is a symbolic link is replaced: the file it points to
// (the user's arrangement stays), or the link itself.
enum class LinkPolicy { Follow, Replace };

// The file a replacement of `path` writes, and what it keeps of the old
// one. A failure when the path names a folder, is read-only, or (with
// Follow) is a link that another user owns: such a link may point
// anywhere, and following it would let that user choose what we
// overwrite.
struct ReplacementTarget {
  std::string nativePath;  // a followed link's target, or the name itself
  KeptAttributes attributes;
};
Result PlanReplacement(const char* path, LinkPolicy policy, ReplacementTarget* target);

// Creates a temporary file of our own in the folder of `nativePath`, named
// after it ("<name>.quorvane-<process>-<n>.tmp"): always a new file, never
// one or a link that is there already. It gets the permission bits and
// owner of `like` where they are known; *stream is open for writing it.
Result CreateTemporaryBeside(const std::string& nativePath, const KeptAttributes& like, std::string* tempPath,
                             std::FILE** stream);

// Gives a file that took another's place that file's attributes (Windows;
// on Linux the temporary file was made with them).
void RestoreAttributes(const std::string& nativePath, const KeptAttributes& attributes);

// Removes what runs of ours that were killed left of their temporary
// files in the folder (nothing else), with `inSubfolders` also in each
// folder directly below it (the texture folders). Only called under the
// folder's lock, when no run of ours can be writing there.
void RemoveLeftoverTemporaries(const char* folder, bool inSubfolders = false);

// Whether the file can be replaced now: on Windows no other program holds
// it open in a way that forbids that (a sharing violation); everywhere it
// is not read-only and its folder takes new files.
Result CanReplace(const char* path);

// Whether the path names a symbolic link (on Windows a reparse point).
bool IsLink(const char* path);

// Whether a new entry can be made in the folder: it is a folder that, on
// Linux, its permission bits (for root too) and the kernel let us change.
// On Windows only trying tells more.
Result CanCreateIn(const char* folder);

// The path as a message should show it: with the platform's own
// separators (and on Linux the letter case of the entries it names).
std::string DisplayPath(const char* path);

unsigned long ProcessId();

// What tells one content of a file from another without reading it: the
// file's identity (device and inode, on Windows volume and file index), its
// size, and its modification and change times (on Windows the last write
// time). A parse of a file may be kept while its state stays the same.
struct FileState {
  bool exists = false;
  std::uint64_t device = 0;
  std::uint64_t identity = 0;
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // in nanoseconds
  std::int64_t changed = 0;
  bool operator==(const FileState& other) const;
  bool operator!=(const FileState& other) const { return !(*this == other); }
};
FileState StateOf(const char* path);

// Whether the file was written so recently (within two seconds of now, or
// in the future) that another write in the same tick of the file system's
// clock could leave its state unchanged: a parse of such a file is not
// kept.
bool IsRecent(const FileState& state);

// Whether two paths name the same folder (the same entry on Linux, the
// same full path in any letter case on Windows).
bool IsSameFolder(const char* a, const char* b);

// Cuts a file back to `size` bytes; used to take back an append that failed.
Result TruncateFile(const char* path, std::uint64_t size);

// GetModuleFileNameA(NULL, buf, cap): full path of the running executable,
// cut to cap - 1 characters and terminated. Returns the length copied.
std::size_t ModuleFileName(char* buf, std::size_t cap);

// The name under which the path is opened: on Windows the path itself, on
// Linux the resolved path with '/' separators and the ASCII case of
// existing entries.
std::string NativePath(const char* path);

// Makes a new, empty folder of our own under the system's temporary
// folder and gives its path (no trailing separator).
Result CreateTempFolder(std::string* path);

// Removes an empty folder (RemoveDirectoryA).
Result RemoveFolder(const char* path);

// The path made absolute against the current folder (GetFullPathNameA on
// Windows); an empty path stays empty.
std::string AbsolutePath(const char* path);

// Where a bare profile file name ("Quorvane.ini") lives: the Windows folder
// on Windows, $XDG_CONFIG_HOME (default $HOME/.config) on Linux. A name that
// holds a folder is returned unchanged.
std::string ProfileLocation(const char* fileName);

namespace detail {
// fopen(how) of a path InspectPath looked at, for TextFile. Like every
// operation here that may add or remove an entry, it keeps the folder
// listings of the Linux letter-case lookup true.
std::FILE* OpenStream(const PathInfo& path, const char* how);
// The state of an open file, for TextFile.
FileState StateOfStream(std::FILE* stream);
// For TextFile: opens a file that exists with exactly the name as written,
// for reading or for appending, and describes it from the open file, in
// fewer looks than InspectPath and OpenStream. Null, with nothing opened,
// where the path must be looked up first (another letter case, no such
// file, Windows).
std::FILE* OpenExistingStream(const char* path, bool forAppend, PathInfo* info);
// The <n> a temporary file's name tries first: the monotonic clock, which
// moves on between two files of one process, so that no counter is kept
// between calls. A name that is taken all the same is stepped over.
inline unsigned long long TemporaryNumber() {
  return static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
}
}  // namespace detail

}  // namespace plat
