#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The file system as the engine sees it: the Win32 calls on Windows, and on
// Linux our own equivalents that behave as those do. Paths may use '\' and
// '/' as separators on both; on Linux a path component that does not exist
// with its exact name finds an entry whose name differs only in ASCII case,
// as a lookup on Windows would. New files and folders get the name as given.

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

// SetCurrentDirectoryA.
bool SetCurrentFolder(const char* path);

// CreateDirectoryA with default security: creates one folder whose parent
// exists; fails when anything of that name exists.
bool CreateFolder(const char* path);

// CopyFileA(source, target, FALSE): an existing target is overwritten. The
// copy is never read-only, also when the source is.
bool CopyFileOver(const char* source, const char* target);

// MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING) on Windows,
// rename() on Linux: one step, the target is either old or new. Windows 98
// and ME do not implement MoveFileExA; there the target is deleted first.
bool MoveFileOver(const char* source, const char* target);

bool RemoveFile(const char* path);

// Cuts a file back to `size` bytes; used to take back an append that failed.
bool TruncateFile(const char* path, std::uint64_t size);

// GetModuleFileNameA(NULL, buf, cap): full path of the running executable,
// cut to cap - 1 characters and terminated. Returns the length copied.
std::size_t ModuleFileName(char* buf, std::size_t cap);

// The name under which the path is opened: on Windows the path itself, on
// Linux the resolved path with '/' separators and the ASCII case of
// existing entries.
std::string NativePath(const char* path);

// Makes a new, empty folder of our own under the system's temporary
// folder and gives its path (no trailing separator).
bool CreateTempFolder(std::string* path);

// Removes an empty folder (RemoveDirectoryA).
bool RemoveFolder(const char* path);

// The path made absolute against the current folder (GetFullPathNameA on
// Windows); an empty path stays empty.
std::string AbsolutePath(const char* path);

// Where a bare profile file name ("Quorvane.ini") lives: the Windows folder
// on Windows, $XDG_CONFIG_HOME (default $HOME/.config) on Linux. A name that
// holds a folder is returned unchanged.
std::string ProfileLocation(const char* fileName);

namespace detail {
// Called by our own operations that may have added or removed the entry at
// a native path: the Linux letter-case lookup keeps its last folder listing
// while the folder is unchanged, and this forgets it if it is that entry's
// folder.
void FolderEntriesChanged(const std::string& nativePath);
}  // namespace detail

}  // namespace plat
