// The Win32 calls themselves.

#include <windows.h>

#include <cstring>
#include <string>

#include "FaultInjection.h"
#include "FileSystem.h"

namespace plat {
namespace {

// Closes the file when the scope ends.
class ScopedFileHandle {
 public:
  explicit ScopedFileHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedFileHandle() {
    if (IsValid()) CloseHandle(handle_);
  }
  ScopedFileHandle(const ScopedFileHandle&) = delete;
  ScopedFileHandle& operator=(const ScopedFileHandle&) = delete;

  bool IsValid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

// SetFilePointer rather than SetFilePointerEx, which Windows 98 and ME lack.
// A result of INVALID_SET_FILE_POINTER is also the low half of some large
// offsets, so only the error code tells a failure.
bool SeekFromStart(HANDLE file, std::uint64_t offset) {
  LONG high = static_cast<LONG>(offset >> 32);
  SetLastError(NO_ERROR);
  const DWORD low = SetFilePointer(file, static_cast<LONG>(offset & 0xFFFFFFFFu), &high, FILE_BEGIN);
  return low != INVALID_SET_FILE_POINTER || GetLastError() == NO_ERROR;
}

// Windows 98 and ME export MoveFileExA but do not implement it. There the
// target goes first and the file is moved after it: for a moment no file
// has the target's name, but the source still holds the whole content.
bool MoveByDeleteAndMove(const char* source, const char* target) {
  if (GetFileAttributesA(target) != INVALID_FILE_ATTRIBUTES && !DeleteFileA(target)) return false;
  return MoveFileA(source, target) != 0;
}

}  // namespace

std::string NativePath(const char* path) { return path; }

PathKind GetPathKind(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Folder : PathKind::File;
}

PathInfo InspectPath(const char* path) {
  PathInfo info;
  info.nativePath = path;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (GetFileAttributesExA(path, GetFileExInfoStandard, &data)) {
    const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    info.kind = folder ? PathKind::Folder : PathKind::File;
    info.readOnly = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (!folder) info.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  }
  return info;
}

bool MayWrite(const PathInfo& path) { return !path.readOnly; }

bool SetCurrentFolder(const char* path) { return SetCurrentDirectoryA(path) != 0; }

bool CreateFolder(const char* path) {
  if (detail::InjectFault(FileOp::CreateFolder)) return false;
  return CreateDirectoryA(path, nullptr) != 0;
}

bool CopyFileOver(const char* source, const char* target) {
  if (detail::InjectFault(FileOp::Copy)) return false;
  if (!CopyFileA(source, target, FALSE)) return false;
  // CopyFileA gives the copy the source's attributes. A read-only source (a
  // catalogue from a CD, or unpacked read-only) would leave a read-only
  // copy, over which the next run's copy fails.
  const DWORD attributes = GetFileAttributesA(target);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    return SetFileAttributesA(target, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY)) != 0;
  }
  return true;
}

bool MoveFileOver(const char* source, const char* target) {
  if (detail::InjectFault(FileOp::Rename)) return false;
  if (MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  return GetLastError() == ERROR_CALL_NOT_IMPLEMENTED && MoveByDeleteAndMove(source, target);
}

bool RemoveFile(const char* path) {
  if (detail::InjectFault(FileOp::Remove)) return false;
  return DeleteFileA(path) != 0;
}

bool TruncateFile(const char* path, std::uint64_t size) {
  if (detail::InjectFault(FileOp::Truncate)) return false;
  ScopedFileHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.IsValid() && SeekFromStart(file.Get(), size) && SetEndOfFile(file.Get());
}

std::size_t ModuleFileName(char* buf, std::size_t cap) {
  if (cap == 0) return 0;
  DWORD n = GetModuleFileNameA(nullptr, buf, static_cast<DWORD>(cap));
  if (n >= cap) n = static_cast<DWORD>(cap - 1);  // older systems leave it unterminated
  buf[n] = '\0';
  return n;
}

bool CreateTempFolder(std::string* path) {
  char base[MAX_PATH + 1];
  DWORD n = GetTempPathA(sizeof base, base);
  if (n == 0 || n >= sizeof base) return false;
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    char name[MAX_PATH + 32];
    wsprintfA(name, "%squorvane-%lu-%u", base, GetCurrentProcessId(), GetTickCount() + attempt);
    if (CreateDirectoryA(name, nullptr)) {
      *path = name;
      return true;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
  }
  return false;
}

bool RemoveFolder(const char* path) { return RemoveDirectoryA(path) != 0; }

std::string AbsolutePath(const char* path) {
  if (!*path) return path;
  char full[MAX_PATH * 4];
  DWORD n = GetFullPathNameA(path, sizeof full, full, nullptr);
  if (n == 0 || n >= sizeof full) return path;
  return full;
}

std::string ProfileLocation(const char* fileName) {
  if (std::strpbrk(fileName, "\\/:")) return fileName;
  char folder[MAX_PATH + 1];
  UINT n = GetWindowsDirectoryA(folder, sizeof folder);
  if (n == 0 || n >= sizeof folder) return fileName;
  std::string result(folder);
  if (result.back() != '\\') result += '\\';
  return result + fileName;
}

namespace detail {
void FolderEntriesChanged(const std::string&) {}
}  // namespace detail

}  // namespace plat
